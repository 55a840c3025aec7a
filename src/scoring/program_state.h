// The scoring rules loaded at start-up, alive for the whole program.
#ifndef VANTRY_SCORING_PROGRAM_STATE_H_
#define VANTRY_SCORING_PROGRAM_STATE_H_

#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "text/gbk_text.h"

namespace vantry {

// Created empty at program entry, filled once by LoadParameters and read by the scorer
// and the grading run. Entry q-1 of each list belongs to question q. The lists are
// views into the parameters text, whose bytes stay where they are when the state is
// moved, so nested or stacked blocks cost no more memory than the file itself.
class ProgramState {
 public:
  ProgramState() = default;
  ProgramState(ProgramState&&) = default;
  ProgramState& operator=(ProgramState&&) = default;
  ProgramState(const ProgramState&) = delete;
  ProgramState& operator=(const ProgramState&) = delete;

  // Replaces the parameters text (already normalised) and collects its blocks: every
  // "<综合题>" block as a rule and every "<分值>" block as a maximum, in file order,
  // each list on its own.
  void SetParametersText(GbkText text);

  const GbkText& parameters_text() const;
  // One QuestionRule per "<综合题>" block: the raw text holding its keyword groups.
  std::span<const GbkView> rule_list() const { return rule_list_; }
  // One maximum score per "<分值>" block, kept as text.
  std::span<const GbkView> max_score_list() const { return max_score_list_; }

  // The rule of question `question` (1-based); none beyond the list.
  std::optional<GbkView> Rule(int question) const;
  // The cap of question `question`: TextToInteger of its maximum; none beyond the list.
  std::optional<int32_t> Cap(int question) const;

 private:
  std::unique_ptr<const GbkText> text_;
  std::vector<GbkView> rule_list_;
  std::vector<GbkView> max_score_list_;
};

}  // namespace vantry

#endif  // VANTRY_SCORING_PROGRAM_STATE_H_
