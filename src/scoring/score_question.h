// Keyword scoring of one answer to one question.
#ifndef VANTRY_SCORING_SCORE_QUESTION_H_
#define VANTRY_SCORING_SCORE_QUESTION_H_

#include <cstdint>
#include <string_view>

#include "scoring/program_state.h"
#include "scoring/question_rules.h"
#include "scoring/score_record.h"
#include "scoring/scoring_boxes.h"

namespace vantry {

// Scores `answer` as question `question` (1-based) under `rules` (nullptr: a question
// without a rule, which scores 0 and reads nothing) and returns the record with
// question, answer, has_rule, the groups, the chain, the bonus and raw_score filled
// (cap and shown_score are the grading run's). The groups and the chain are appended
// to `log`.
//
// A group scores through its first alternative found in the answer (exact search).
// What the group then earns depends on its mode (GroupMode): an unordered group is
// worth the points box once; an ordered group adds the positions of every occurrence
// of that alternative (ASCII case ignored) to the question's order chain. A chain of
// 2, 3 or 4 strictly rising positions is worth that many times the points box, any
// other chain nothing.
//
// The boxes are read at the moment of use: the order box once per alternative
// examined, the points box once per unordered hit and once for the bonus. Every
// addition goes through double and back with TruncateToInteger.
[[nodiscard]] QuestionRecord ScoreAnswer(const QuestionRules* rules, int question,
                                         GbkView answer, ScoringBoxes& boxes,
                                         ScoreLog& log);

// The raw score of `answer` to question `question` under the rule in `state`, asking
// `boxes` at the moment of use. The question's groups are found in its rule at each
// call, which runs the message pump once per group, so boxes read at use see what the
// teacher typed while a question is scored.
[[nodiscard]] int32_t ScoreQuestion(const ProgramState& state, ScoringBoxes& boxes,
                                    int question, GbkView answer);

}  // namespace vantry

#endif  // VANTRY_SCORING_SCORE_QUESTION_H_
