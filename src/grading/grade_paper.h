// Grading one paper: every question scored, capped and added up, every decision kept.
#ifndef VANTRY_GRADING_GRADE_PAPER_H_
#define VANTRY_GRADING_GRADE_PAPER_H_

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "grading/paper_record.h"
#include "scoring/program_state.h"
#include "scoring/question_rules.h"
#include "scoring/scoring_boxes.h"

namespace vantry {

// Where a question's keyword groups come from.
class RuleSource {
 public:
  virtual ~RuleSource() = default;
  // The rules of question `question` (1-based), valid until the next call; nullptr for
  // a question without a rule.
  virtual const QuestionRules* Rules(int question) = 0;
};

// Reads each question's groups at every call, as the window does: reading them runs
// the message pump once per group, so the teacher's typing is taken in between. The
// rules never change after start-up, so they are split once and each call only runs
// the pump as the reading would.
class RulesReadAtUse final : public RuleSource {
 public:
  explicit RulesReadAtUse(const ProgramState& state) : rules_(state) {}
  const QuestionRules* Rules(int question) override;

 private:
  const CompiledRules rules_;
};

// Rules split once for a whole run.
class PrecompiledRules final : public RuleSource {
 public:
  explicit PrecompiledRules(const CompiledRules& rules) : rules_(rules) {}
  const QuestionRules* Rules(int question) override { return rules_.Question(question); }

 private:
  const CompiledRules& rules_;
};

// Told about each question as it is graded, so a view can show the paper live.
class PaperObserver {
 public:
  virtual ~PaperObserver() = default;
  // Before question `question` is scored, with the student's answer to it.
  virtual void OnQuestionStart(int question, GbkView answer) = 0;
  // After it was scored and capped, with the paper's running total.
  virtual void OnQuestionGraded(const QuestionRecord& record, int32_t total) = 0;
};

// Scores `answer` as question `question` under `rules` (nullptr: a question without a
// rule) and lowers the score to `cap` (none: not capped): the one way a run scores a
// question, for every score the program gives or predicts. The record is ScoreAnswer's
// with cap and shown_score filled; the groups and the chain go to `log`.
QuestionRecord GradeQuestion(const QuestionRules* rules, int question, GbkView answer,
                             std::optional<int32_t> cap, ScoringBoxes& boxes,
                             ScoreLog& log);

// Grades papers one at a time with the given rules, boxes and caps.
class PaperGrader {
 public:
  PaperGrader(const ProgramState& state, RuleSource& rules, ScoringBoxes& boxes)
      : state_(state), rules_(rules), boxes_(boxes) {}

  // Fills `record` (cleared first) with the paper of `name` and `answer` (none: the
  // name has no answer field, a paper without questions). The answer is cut at its
  // TABs into questions 1, 2, ...; each is scored, lowered to its cap (the question's
  // maximum; a question beyond the list of maxima is not capped) and added to the
  // total, which holds at the 32-bit limits instead of wrapping. `observer` (may be
  // null) sees each question before and after.
  void Grade(GbkView name, std::optional<GbkView> answer, PaperRecord& record,
             PaperObserver* observer = nullptr);

 private:
  const ProgramState& state_;
  RuleSource& rules_;
  ScoringBoxes& boxes_;
  std::vector<GbkView> pieces_;
};

}  // namespace vantry

#endif  // VANTRY_GRADING_GRADE_PAPER_H_
