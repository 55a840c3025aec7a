#include "grading/answer_sheet.h"

#include <cstdint>
#include <system_error>
#include <utility>

#include "text/file_io.h"
#include "text/find_text.h"
#include "text/gbk_codec.h"
#include "text/tagged_fields.h"
#include "text/text_slices.h"

namespace vantry {

GbkText ReadAnswerSheetText(const std::filesystem::path& directory) {
  return ReadAnswerSheet(directory).text;
}

AnswerSheetRead ReadAnswerSheet(const std::filesystem::path& directory) {
  using Status = AnswerSheetRead::Status;
  const std::filesystem::path path = PathInDirectory(directory, kAnswerSheetFileName);
  AnswerSheetRead read;
  if (!PathExists(path)) return read;
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    read.status = Status::kUnreadable;
    return read;
  }
  read.text = ReadWholeFile(path);
  // Bytes on disk that could not be read (no permission, an I/O error).
  const bool unread = read.text.empty() && std::filesystem::file_size(path, error) > 0;
  read.status = unread && !error ? Status::kUnreadable : Status::kRead;
  read.encoding = DetectForeignEncoding(read.text);
  // Cut at the first NUL in place: a copy of a large sheet would double its memory.
  if (const size_t nul = read.text.find('\0'); nul != GbkText::npos)
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

LoadedAnswerSheet::LoadedAnswerSheet(GbkText sheet_text) : text_(std::move(sheet_text)) {
  const SheetTags& tags = Tags();
  ExtractTaggedFieldViews(text_, tags.name_start, tags.name_end, names_);
  ExtractTaggedFieldViews(text_, tags.answer_start, tags.answer_end, answers_);
}

void SplitQuestionAnswers(std::string_view answer,
                          std::vector<std::string_view>& pieces) {
  pieces.clear();
  int64_t begin = 0;  // 0-based start of the next piece
  while (!answer.empty()) {
    const auto tab = FindText(answer, "\t", begin + 1);
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
