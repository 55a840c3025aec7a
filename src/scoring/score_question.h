// Keyword scoring of one answer to one question.
#ifndef VANTRY_SCORING_SCORE_QUESTION_H_
#define VANTRY_SCORING_SCORE_QUESTION_H_

#include <cstdint>
#include <string_view>

#include "app/controls/control_access.h"
#include "scoring/program_state.h"
#include "text/gbk_text.h"

namespace vantry {

// The key that marks group `group` of question `question` as scored by order in the
// order box: "<question>-<group>" in plain decimal, e.g. "1-2". The box is free text
// and only searched for this key, so "1-10" marks "1-1" as well.
GbkText OrderKey(int question, int group);

// The raw (uncapped) score of `answer` to question `question` (1-based) under the
// keyword groups ("<关键词>" blocks, alternatives split at "|") of its rule.
//
// A group scores through its first alternative found in the answer (exact search).
// An unordered group is worth the points box once. An ordered group adds the positions
// of every occurrence of that alternative (ASCII case ignored) to the question's order
// chain; a chain of 2, 3 or 4 strictly rising positions is worth that many times the
// points box, any other chain nothing.
//
// The two boxes are read through `controls` at the moment of use and never cached:
// the order box once per alternative examined, the points box once per unordered hit
// and once for the bonus. Extracting the groups runs the message pump, so the teacher
// may change the boxes while a question is scored. Every addition goes through double
// and back with TruncateToInteger. A question without a rule (below 1 or beyond the
// rule list) scores 0 and reads nothing.
int32_t ScoreQuestion(const ProgramState& state, ControlAccess& controls, int question,
                      std::string_view answer);

}  // namespace vantry

#endif  // VANTRY_SCORING_SCORE_QUESTION_H_
