#include "grading/answer_sheet.h"

#include "text/file_io.h"
#include "text/gbk_codec.h"
#include "text/split_text.h"
#include "text/tagged_fields.h"
#include "text/text_slices.h"

namespace vantry {

GbkText ReadAnswerSheetText(const std::filesystem::path& directory) {
  // Cut at the first NUL in place: a copy of a large sheet would double its memory.
  GbkText text = ReadWholeFile(PathInDirectory(directory, kAnswerSheetFileName));
  if (const size_t nul = text.find('\0'); nul != GbkText::npos) text.resize(nul);
  return text;
}

AnswerSheet ParseAnswerSheet(std::string_view sheet_text) {
  static const GbkText kNameStart = Utf8ToGbk("<姓名>\t");
  static const GbkText kNameEnd = Utf8ToGbk("\t</姓名>");
  static const GbkText kAnswerStart = Utf8ToGbk("<答题文本>\t");
  static const GbkText kAnswerEnd = Utf8ToGbk("\t</答题文本>");
  AnswerSheet sheet;
  ExtractTaggedFields(sheet_text, kNameStart, kNameEnd, sheet.names);
  ExtractTaggedFields(sheet_text, kAnswerStart, kAnswerEnd, sheet.answers);
  return sheet;
}

std::vector<GbkText> SplitQuestionAnswers(std::string_view answer) {
  return SplitText(answer, "\t");
}

}  // namespace vantry
