#include "grading/grade_paper.h"

#include <algorithm>
#include <limits>

#include "grading/answer_sheet.h"
#include "platform/message_pump.h"
#include "scoring/score_question.h"

namespace vantry {

namespace {

int32_t HeldTo32Bits(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(
      value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace

QuestionRecord GradeQuestion(const QuestionRules* rules, int question, GbkView answer,
                             std::optional<int32_t> cap, ScoringBoxes& boxes,
                             ScoreLog& log) {
  QuestionRecord record = ScoreAnswer(rules, question, answer, boxes, log);
  // The cap only lowers.
  record.cap = cap;
  record.shown_score = cap ? std::min(record.raw_score, *cap) : record.raw_score;
  return record;
}

const QuestionRules* RulesReadAtUse::Rules(int question) {
  const QuestionRules* rules = rules_.Question(question);
  if (rules == nullptr) return nullptr;
  for (int g = 0; g < rules->group_count(); ++g) ProcessPendingMessages();
  return rules;
}

void PaperGrader::Grade(GbkView name, std::optional<GbkView> answer, PaperRecord& record,
                        PaperObserver* observer) {
  record.Clear();
  record.name = name;
  record.has_answer = answer.has_value();
  if (!answer) return;
  SplitQuestionAnswers(*answer, pieces_);
  // Summed exactly and held at the 32-bit limits only when shown: a total held at a
  // limit on the way would not come back when later scores bring the sum in range.
  // No overflow: fewer than 2^32 questions of at most 2^31 each.
  int64_t exact_total = 0;
  for (size_t i = 0; i < pieces_.size(); ++i) {
    const int q = static_cast<int>(i) + 1;
    if (observer != nullptr) observer->OnQuestionStart(q, pieces_[i]);
    const QuestionRecord& question = record.questions.emplace_back(
        GradeQuestion(rules_.Rules(q), q, pieces_[i], state_.Cap(q), boxes_, record.log));
    exact_total += question.shown_score;
    record.total = HeldTo32Bits(exact_total);
    if (observer != nullptr) observer->OnQuestionGraded(question, record.total);
  }
}

}  // namespace vantry
