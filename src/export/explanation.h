// What the scorer decided for a paper, said in a short Chinese sentence per question
// that a teacher can check against the answer (UTF-8).
//
// A question's explanation starts with its number, its shown score and its full marks,
// then says where the points came from, e.g.
//   第2题 6分（满分10）：得分点1「光合作用」+2；得分点2、3 先后顺序正确 +4；未命中得分点4
// Every amount is written with its ASCII sign ("+2", "-2", "+0") and nothing else is
// (a negative score or cap takes the minus sign "−", U+2212): the signed numbers after
// the first "：", outside the 「」 quotes, add up to the raw score (before the cap). A
// cap that lowered the score says so ("原始 8 分，封顶 5 分"). Texts from the rules
// and the sheet are converted from GBK; bytes that are not valid GBK show as U+FFFD
// and line breaks inside a keyword show as "↵", so one explanation is one line.
#ifndef VANTRY_EXPORT_EXPLANATION_H_
#define VANTRY_EXPORT_EXPLANATION_H_

#include <climits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "grading/graded_class.h"
#include "grading/paper_record.h"

namespace vantry {

// Appends the explanation of `question`, one of `paper`'s questions, to `out`.
void AppendQuestionExplanation(const PaperRecord& paper, const QuestionRecord& question,
                               std::string& out);
std::string ExplainQuestion(const PaperRecord& paper, const QuestionRecord& question);

// Appends the explanation of question `question` (1-based), which `paper` lacks (it is
// beyond the pieces of its answer, or the paper has no answer), to `out`: it scores 0
// and the sentence says why. `cap` is the question's full marks, if any.
void AppendAbsentQuestionExplanation(const PaperRecord& paper, int question,
                                     std::optional<int32_t> cap, std::string& out);

// Why a paper has no questions at all: no answer field, or an empty one (no number,
// no score header).
std::string ExplainPaperWithoutQuestions(const PaperRecord& paper);

// The rows that explain `paper`, one of `graded`'s papers: entry q-1 explains question q
// for q = 1..graded.question_count() (a question the paper lacks included; at most
// `max_questions` of them), or, when no paper of the class has any question, one entry
// saying why this one has none. `rows` is resized and its strings reused, so
// explaining a class paper after paper allocates little.
void ExplainPaper(const PaperRecord& paper, const GradedClass& graded,
                  std::vector<std::string>& rows, int max_questions = INT_MAX);

// `gbk` in UTF-8 for a one-line display: invalid bytes as U+FFFD, a line break as "↵",
// a TAB as "⇥", other control characters as U+FFFD.
void AppendOneLine(GbkView gbk, std::string& out);

}  // namespace vantry

#endif  // VANTRY_EXPORT_EXPLANATION_H_
