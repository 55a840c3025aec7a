#include "scoring/score_question.h"

#include "scoring/keyword_search.h"
#include "text/find_text.h"
#include "text/numbers.h"

namespace vantry {
namespace {

int32_t AddPoints(int32_t score, double points) {
  return TruncateToInteger(static_cast<double>(score) + points);
}

// What an addition actually added, held at the 32-bit limits.
int32_t Added(int32_t before, int32_t after) {
  return TruncateToInteger(static_cast<double>(after) - static_cast<double>(before));
}

bool IsStrictlyRising(std::span<const int64_t> chain) {
  for (size_t i = 1; i < chain.size(); ++i) {
    if (chain[i] <= chain[i - 1]) return false;
  }
  return true;
}

}  // namespace

QuestionRecord ScoreAnswer(const QuestionRules* rules, int question, GbkView answer,
                           ScoringBoxes& boxes, ScoreLog& log) {
  QuestionRecord record;
  record.question = question;
  record.answer = answer;
  record.groups_begin = static_cast<uint32_t>(log.groups.size());
  record.chain_begin = static_cast<uint32_t>(log.chain.size());
  if (rules == nullptr) return record;
  record.has_rule = true;

  int32_t score = 0;
  for (int g = 0; g < rules->group_count(); ++g) {
    GroupRecord& group = log.groups.emplace_back();
    group.group = g + 1;
    const auto alternatives = rules->alternatives(g);
    if (!alternatives.empty()) group.first_alternative = alternatives.front();
    const auto exact = rules->exact_finders(g);
    for (size_t a = 0; a < alternatives.size(); ++a) {
      // The box is read for every alternative: the teacher may have typed meanwhile.
      group.mode = boxes.Mode(question, group.group);
      const int64_t position = exact[a].Find(answer);
      if (position < 0) continue;
      group.alternative = static_cast<int32_t>(a) + 1;
      group.alternative_text = alternatives[a];
      group.position = position;
      switch (group.mode) {
        case GroupMode::kUnordered: {
          const int32_t points = boxes.PointsPerHit();
          group.points_read = points;
          const int32_t before = score;
          score = AddPoints(score, points);
          group.points = Added(before, score);
          break;
        }
        case GroupMode::kOrdered:
          group.chain_begin = static_cast<uint32_t>(log.chain.size());
          FindAllPositions(answer, alternatives[a], rules->folded_finders(g)[a],
                           log.chain);
          group.chain_size = static_cast<uint32_t>(log.chain.size()) - group.chain_begin;
          break;
      }
      break;  // the first alternative found decides the group
    }
  }
  record.groups_size = static_cast<uint32_t>(log.groups.size()) - record.groups_begin;

  record.chain_size = static_cast<uint32_t>(log.chain.size()) - record.chain_begin;
  record.chain_rose = IsStrictlyRising(
      std::span(log.chain).subspan(record.chain_begin, record.chain_size));
  if (record.earned_bonus()) {
    const int32_t points = boxes.PointsPerHit();
    record.bonus_points_read = points;
    const int32_t before = score;
    score = AddPoints(score, static_cast<double>(record.chain_size) * points);
    record.bonus = Added(before, score);
  }
  record.raw_score = score;
  return record;
}

int32_t ScoreQuestion(const ProgramState& state, ScoringBoxes& boxes, int question,
                      GbkView answer) {
  const auto rule = state.Rule(question);
  if (!rule) return 0;
  QuestionRules rules;
  rules.Extract(*rule);
  ScoreLog log;
  return ScoreAnswer(&rules, question, answer, boxes, log).raw_score;
}

}  // namespace vantry
