// A question's keyword groups split into their alternatives.
#ifndef VANTRY_SCORING_QUESTION_RULES_H_
#define VANTRY_SCORING_QUESTION_RULES_H_

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "scoring/program_state.h"
#include "text/find_text.h"

namespace vantry {

// The keyword groups of one QuestionRule: every "<关键词>" block in order, empty ones
// included, each with its non-empty alternatives (cut at "|", used as written). All
// texts are views into the rule, which must outlive this object.
class QuestionRules {
 public:
  // Replaces the groups with those of `rule`, reusing the storage. Finding the blocks
  // runs the message pump once per block, as every tagged-field scan does.
  void Extract(GbkView rule);

  int group_count() const { return static_cast<int>(groups_.size()); }
  // The raw text of group `index` (0-based).
  GbkView group_text(int index) const { return groups_[Index(index)]; }
  // The alternatives of group `index` (0-based), in order; empty when it has none.
  std::span<const GbkView> alternatives(int index) const {
    return std::span(alternatives_).subspan(First(index), Count(index));
  }
  // The same alternatives prepared for searching: exactly (whether one occurs), and
  // with ASCII letters folded (the positions an ordered group adds to the chain).
  std::span<const TextFinder> exact_finders(int index) const {
    return std::span(exact_).subspan(First(index), Count(index));
  }
  std::span<const TextFinder> folded_finders(int index) const {
    return std::span(folded_).subspan(First(index), Count(index));
  }

 private:
  static size_t Index(int index) { return static_cast<size_t>(index); }
  size_t First(int index) const { return first_alternative_[Index(index)]; }
  size_t Count(int index) const {
    return first_alternative_[Index(index) + 1] - first_alternative_[Index(index)];
  }

  std::vector<GbkView> groups_;
  std::vector<GbkView> alternatives_;
  std::vector<TextFinder> exact_;
  std::vector<TextFinder> folded_;
  // Where each group's alternatives begin, with one more entry for the end.
  std::vector<uint32_t> first_alternative_ = {0};
};

// Every question's rules, split once, for a run in which nothing can change them (the
// rules never change after start-up; only the live window re-reads them per question,
// because reading runs the message pump). Views into `state`, which must outlive it.
class CompiledRules {
 public:
  explicit CompiledRules(const ProgramState& state);

  // The rules of question `question` (1-based); nullptr for a question without a rule.
  const QuestionRules* Question(int question) const {
    if (question < 1 || static_cast<size_t>(question) > questions_.size()) return nullptr;
    return &questions_[static_cast<size_t>(question) - 1];
  }
  int question_count() const { return static_cast<int>(questions_.size()); }

 private:
  std::vector<QuestionRules> questions_;
};

}  // namespace vantry

#endif  // VANTRY_SCORING_QUESTION_RULES_H_
