// Scoring rules for tests, built as a parameters file would hold them.
#ifndef VANTRY_TESTING_RULE_TEXTS_H_
#define VANTRY_TESTING_RULE_TEXTS_H_

#include <initializer_list>
#include <string>
#include <string_view>

#include "scoring/program_state.h"

namespace vantry::testing {

// A state whose rule list holds `rules` (GBK, each wrapped in its own "<综合题>" block)
// and whose maxima are `maxima` (GBK, "<分值>" blocks after all rules).
template <typename Rules = std::initializer_list<GbkView>,
          typename Maxima = std::initializer_list<GbkView>>
ProgramState StateWithRules(const Rules& rules, const Maxima& maxima = {}) {
  // "<综合题>", "</综合题>", "<分值>", "</分值>" in GBK.
  const GbkView rule_start("<\xD7\xDB\xBA\xCF\xCC\xE2>");
  const GbkView rule_end("</\xD7\xDB\xBA\xCF\xCC\xE2>");
  const GbkView max_start("<\xB7\xD6\xD6\xB5>");
  const GbkView max_end("</\xB7\xD6\xD6\xB5>");
  GbkText text;
  for (const auto& rule : rules)
    text.append(rule_start).append(GbkView(rule)).append(rule_end);
  for (const auto& m : maxima) text.append(max_start).append(GbkView(m)).append(max_end);
  ProgramState state;
  state.SetParametersText(std::move(text));
  return state;
}

}  // namespace vantry::testing

#endif  // VANTRY_TESTING_RULE_TEXTS_H_
