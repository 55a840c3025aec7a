#include "scoring/score_question.h"

#include <vector>

#include "app/controls/control_names.h"
#include "scoring/keyword_search.h"
#include "text/find_text.h"
#include "text/gbk_codec.h"
#include "text/numbers.h"
#include "text/tagged_fields.h"

namespace vantry {
namespace {

int32_t AddPoints(int32_t score, double points) {
  return TruncateToInteger(static_cast<double>(score) + points);
}

int32_t ReadPointsPerHit(ControlAccess& controls) {
  return TextToInteger(controls.GetControlText(controls::kPointsPerHit));
}

bool IsStrictlyRising(const std::vector<int64_t>& chain) {
  for (size_t i = 1; i < chain.size(); ++i) {
    if (chain[i] <= chain[i - 1]) return false;
  }
  return true;
}

}  // namespace

GbkText OrderKey(int question, int group) {
  GbkText key = FormatInteger(question);
  key += '-';
  key += FormatInteger(group);
  return key;
}

int32_t ScoreQuestion(const ProgramState& state, ControlAccess& controls, int question,
                      std::string_view answer) {
  if (question < 1 || static_cast<size_t>(question) > state.rule_list.size()) return 0;
  static const GbkText kGroupStart = Utf8ToGbk("<关键词>");
  static const GbkText kGroupEnd = Utf8ToGbk("</关键词>");

  int32_t score = 0;
  std::vector<int64_t> order_chain;
  // Views into the rule, which outlives the call: no copy of every group per answer.
  std::vector<std::string_view> groups;
  ExtractTaggedFieldViews(state.rule_list[static_cast<size_t>(question) - 1], kGroupStart,
                          kGroupEnd, groups);

  std::vector<GbkText> alternatives;
  for (size_t g = 0; g < groups.size(); ++g) {
    SplitNonEmpty(groups[g], "|", alternatives);
    if (alternatives.empty()) continue;
    const GbkText key = OrderKey(question, static_cast<int>(g) + 1);
    for (const GbkText& alternative : alternatives) {
      // The box is read for every alternative: the teacher may have typed meanwhile.
      const bool ordered =
          FindText(controls.GetControlText(controls::kOrderKeys), key) > 0;
      if (FindText(answer, alternative) < 0) continue;
      if (ordered) {
        FindAllPositions(answer, alternative, order_chain);
      } else {
        score = AddPoints(score, ReadPointsPerHit(controls));
      }
      break;  // the first alternative found decides the group
    }
  }

  const size_t n = order_chain.size();
  if (n >= 2 && n <= 4 && IsStrictlyRising(order_chain)) {
    score = AddPoints(score, static_cast<double>(n) * ReadPointsPerHit(controls));
  }
  return score;
}

}  // namespace vantry
