#include "grading/answer_sheet.h"

#include <cstdint>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/file_io.h"
#include "text/find_text.h"
#include "text/gbk_codec.h"
#include "text/tagged_fields.h"
#include "text/text_slices.h"

namespace vantry {

GbkText ReadAnswerSheetText(const std::filesystem::path& directory) {
  AnswerSheetRead read = ReadAnswerSheet(directory);
  return read.ok() ? std::move(read->text) : GbkText();
}

AnswerSheetRead ReadAnswerSheet(const std::filesystem::path& directory) {
  FileRead file =
      ReadWholeFileWithStatus(PathInDirectory(directory, kAnswerSheetFileName));
  if (!file.ok()) return file.failure();
  AnswerSheetFile read;
  read.size = file->size;
  GbkReading reading = ReadAsGbk(std::move(file->bytes));
  read.encoding = reading.encoding;
  read.outside_gbk = std::move(reading.outside_gbk);
  read.text = std::move(reading.text);
  // Cut at the first NUL in place: a copy of a large sheet would double its memory.
  if (const size_t nul = read.text.bytes().find('\0'); nul != GbkText::npos)
    read.text.resize(nul);
  return read;
}

namespace {

struct SheetTags {
  GbkText name_start = Utf8ToGbk("<姓名>\t");
  GbkText name_end = Utf8ToGbk("\t</姓名>");
  GbkText answer_start = Utf8ToGbk("<答题文本>\t");
  GbkText answer_end = Utf8ToGbk("\t</答题文本>");
};

const SheetTags& Tags() {
  static const SheetTags tags;
  return tags;
}

}  // namespace

LoadedAnswerSheet::LoadedAnswerSheet(GbkText sheet_text, FieldCollection collection)
    : text_(std::move(sheet_text)) {
  const SheetTags& tags = Tags();
  const auto collect_answers = [this, &tags] {
    ExtractTaggedFieldViews(text_, tags.answer_start, tags.answer_end, answers_);
  };
  std::jthread answers;  // joined when the constructor ends
  if (collection == FieldCollection::kTwoThreads) {
    try {
      answers = std::jthread(collect_answers);
    } catch (const std::system_error&) {
      // No thread to be had: the answers are collected here after the names.
    }
  }
  ExtractTaggedFieldViews(text_, tags.name_start, tags.name_end, names_);
  if (!answers.joinable()) collect_answers();
}

void SplitQuestionAnswers(GbkView answer, std::vector<GbkView>& pieces) {
  pieces.clear();
  int64_t begin = 0;  // 0-based start of the next piece
  while (!answer.empty()) {
    const auto tab = FindText(answer, "\t"_gbk, begin + 1);
    if (tab < 0) break;
    pieces.push_back(
        answer.substr(static_cast<size_t>(begin), static_cast<size_t>(tab - 1 - begin)));
    begin = tab;  // the byte after the TAB, 0-based
  }
  if (static_cast<size_t>(begin) < answer.size()) {
    pieces.push_back(answer.substr(static_cast<size_t>(begin)));
  }
}

}  // namespace vantry
