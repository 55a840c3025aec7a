#include "grading/answer_sheet.h"

#include <utility>

#include "text/file_io.h"
#include "text/gbk_codec.h"
#include "text/split_text.h"
#include "text/tagged_fields.h"
#include "text/text_slices.h"

namespace vantry {

FileReadResult ReadAnswerSheet(const std::filesystem::path& directory) {
  FileReadResult read =
      ReadWholeFileWithStatus(PathInDirectory(directory, kAnswerSheetFileName));
  // Cut at the first NUL in place: a copy of a large sheet would double its memory.
  if (const size_t nul = read.bytes.find('\0'); nul != GbkText::npos) {
    read.bytes.resize(nul);
  }
  return read;
}

GbkText ReadAnswerSheetText(const std::filesystem::path& directory) {
  return std::move(ReadAnswerSheet(directory).bytes);
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

std::vector<GbkText> SplitQuestionAnswers(std::string_view answer) {
  return SplitText(answer, "\t");
}

}  // namespace vantry
