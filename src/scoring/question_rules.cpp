#include "scoring/question_rules.h"

#include "scoring/keyword_search.h"
#include "scoring/parameter_tags.h"
#include "text/tagged_fields.h"

namespace vantry {

void QuestionRules::Extract(GbkView rule) {
  const ParameterTags& tags = GetParameterTags();
  ExtractTaggedFieldViews(rule, tags.group_start, tags.group_end, groups_);
  alternatives_.clear();
  first_alternative_.assign(1, 0);
  for (GbkView group : groups_) {
    AppendNonEmptyPieces(group, "|"_gbk, alternatives_);
    first_alternative_.push_back(static_cast<uint32_t>(alternatives_.size()));
  }
  exact_.clear();
  folded_.clear();
  for (GbkView alternative : alternatives_) {
    exact_.emplace_back(alternative, /*ignore_case=*/false);
    folded_.emplace_back(alternative, /*ignore_case=*/true);
  }
}

CompiledRules::CompiledRules(const ProgramState& state) {
  questions_.resize(state.rule_list().size());
  for (size_t q = 0; q < questions_.size(); ++q)
    questions_[q].Extract(state.rule_list()[q]);
}

}  // namespace vantry
