// Reading the students' answer sheet.
#ifndef VANTRY_GRADING_ANSWER_SHEET_H_
#define VANTRY_GRADING_ANSWER_SHEET_H_

#include <filesystem>
#include <string_view>
#include <vector>

#include "text/file_io.h"
#include "text/gbk_text.h"

namespace vantry {

// The answer sheet's name in the program folder.
inline constexpr std::string_view kAnswerSheetFileName = "学生答题文本.txt";

// One student's record; paper i pairs the i-th name field with the i-th answer field.
struct StudentPaper {
  GbkText name;
  GbkText answer;
};

// The sheet's file read whole, with what the read found; its bytes end before the
// first NUL.
FileReadResult ReadAnswerSheet(const std::filesystem::path& directory);

// The sheet's text: the file's bytes up to the first NUL; empty when the file is
// missing or unreadable.
GbkText ReadAnswerSheetText(const std::filesystem::path& directory);

// A sheet read for a grading run: its text, with the fields between "<姓名>\t" and
// "\t</姓名>" and between "<答题文本>\t" and "\t</答题文本>" (exact case; the TABs
// belong to the tags) as views into it, each kind in file order. Names and answers are
// collected separately and paired by position alone, so the two lists may differ in
// length. Neither copyable nor movable, so the views stay valid as long as it lives.
class LoadedAnswerSheet {
 public:
  explicit LoadedAnswerSheet(GbkText sheet_text);
  LoadedAnswerSheet(const LoadedAnswerSheet&) = delete;
  LoadedAnswerSheet& operator=(const LoadedAnswerSheet&) = delete;

  const std::vector<std::string_view>& names() const { return names_; }
  const std::vector<std::string_view>& answers() const { return answers_; }

 private:
  const GbkText text_;
  std::vector<std::string_view> names_;
  std::vector<std::string_view> answers_;
};

// The answer cut at every TAB: piece q answers question q. Empty pieces between TABs or
// before a leading TAB count; one after a trailing TAB does not; an empty answer has no
// questions.
std::vector<GbkText> SplitQuestionAnswers(std::string_view answer);

}  // namespace vantry

#endif  // VANTRY_GRADING_ANSWER_SHEET_H_
