#include "grading/grade_paper.h"

#include <algorithm>
#include <limits>

#include "grading/answer_sheet.h"
#include "scoring/score_question.h"
#include "text/message_pump.h"

namespace vantry {

int32_t AddSaturating(int32_t a, int32_t b) {
  const int64_t sum = static_cast<int64_t>(a) + b;
  return static_cast<int32_t>(std::clamp<int64_t>(
      sum, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

const QuestionRules* RulesReadAtUse::Rules(int question) {
  const QuestionRules* rules = rules_.Question(question);
  if (rules == nullptr) return nullptr;
  for (int g = 0; g < rules->group_count(); ++g) ProcessPendingMessages();
  return rules;
}

void PaperGrader::Grade(std::string_view name, std::optional<std::string_view> answer,
                        PaperRecord& record, PaperObserver* observer) {
  record.Clear();
  record.name = name;
  record.has_answer = answer.has_value();
  if (!answer) return;
  SplitQuestionAnswers(*answer, pieces_);
  for (size_t i = 0; i < pieces_.size(); ++i) {
    const int q = static_cast<int>(i) + 1;
    if (observer != nullptr) observer->OnQuestionStart(q, pieces_[i]);
    QuestionRecord& question = record.questions.emplace_back(
        ScoreAnswer(rules_.Rules(q), q, pieces_[i], boxes_, record.log));
    // The cap only lowers.
    question.cap = state_.Cap(q);
    question.shown_score =
        question.cap ? std::min(question.raw_score, *question.cap) : question.raw_score;
    record.total = AddSaturating(record.total, question.shown_score);
    if (observer != nullptr) observer->OnQuestionGraded(question, record.total);
  }
}

}  // namespace vantry
