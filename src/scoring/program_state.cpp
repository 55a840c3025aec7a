#include "scoring/program_state.h"

#include <utility>

#include "scoring/parameter_tags.h"
#include "text/numbers.h"
#include "text/tagged_fields.h"

namespace vantry {
namespace {

const GbkText& EmptyText() {
  static const GbkText empty;
  return empty;
}

}  // namespace

void ProgramState::SetParametersText(GbkText text) {
  text_ = std::make_unique<const GbkText>(std::move(text));
  const ParameterTags& tags = GetParameterTags();
  ExtractTaggedFieldViews(*text_, tags.rule_start, tags.rule_end, rule_list_);
  ExtractTaggedFieldViews(*text_, tags.max_start, tags.max_end, max_score_list_);
}

const GbkText& ProgramState::parameters_text() const {
  return text_ ? *text_ : EmptyText();
}

std::optional<GbkView> ProgramState::Rule(int question) const {
  if (question < 1 || static_cast<size_t>(question) > rule_list_.size()) return {};
  return rule_list_[static_cast<size_t>(question) - 1];
}

std::optional<int32_t> ProgramState::Cap(int question) const {
  if (question < 1 || static_cast<size_t>(question) > max_score_list_.size()) return {};
  return TextToInteger(max_score_list_[static_cast<size_t>(question) - 1]);
}

}  // namespace vantry
