// The two scoring boxes as the scorer uses them: a group's mode and a number.
#ifndef VANTRY_SCORING_SCORING_BOXES_H_
#define VANTRY_SCORING_SCORING_BOXES_H_

#include <cstdint>
#include <string_view>
#include <vector>

#include "scoring/group_mode.h"
#include "scoring/question_rules.h"
#include "text/gbk_text.h"

namespace vantry {

// The key that marks group `group` of question `question` as scored by order in the
// order box: "<question>-<group>" in plain decimal, e.g. "1-2". The box is free text
// and only searched for this key, so "1-10" marks "1-1" as well.
GbkText OrderKey(int question, int group);

// The mode the order box's text `order_keys` gives group `group` of question
// `question`: kOrdered when it holds OrderKey(question, group).
[[nodiscard]] GroupMode GroupModeInOrderBox(GbkView order_keys, int question, int group);

// The points box's text `points_text` as the points for one hit: a whole number
// (TextToInteger; 0 when empty).
[[nodiscard]] int32_t PointsInPointsBox(GbkView points_text);

// The boxes as the scorer asks them. Where the texts come from is the caller's: the
// window's run reads its boxes at every call (the teacher may type while a run goes
// on), the batch grader holds them still.
class ScoringBoxes {
 public:
  virtual ~ScoringBoxes() = default;

  // The order box's decision for group `group` (1-based) of question `question`.
  virtual GroupMode Mode(int question, int group) = 0;
  // The points box as PointsInPointsBox reads it.
  virtual int32_t PointsPerHit() = 0;
};

// Boxes that hold still for a whole run (the batch grader): the texts are read once.
// Safe to share between threads: calls change nothing and allocate nothing.
class FixedScoringBoxes final : public ScoringBoxes {
 public:
  FixedScoringBoxes(GbkText points_per_hit_text, GbkText order_keys_text);
  // Also decides once the mode of every group of `rules`, so that scoring does not
  // search the order box again for every alternative.
  FixedScoringBoxes(GbkText points_per_hit_text, GbkText order_keys_text,
                    const CompiledRules& rules);

  GroupMode Mode(int question, int group) override;
  int32_t PointsPerHit() override { return points_per_hit_; }

  const GbkText& points_per_hit_text() const { return points_per_hit_text_; }
  const GbkText& order_keys_text() const { return order_keys_text_; }

 private:
  GbkText points_per_hit_text_;
  GbkText order_keys_text_;
  int32_t points_per_hit_;
  // The mode of group g (1-based) of question q (1-based): entry
  // first_group_[q - 1] + g - 1, for the questions and groups of the rules given.
  std::vector<uint32_t> first_group_;
  std::vector<GroupMode> modes_;
};

}  // namespace vantry

#endif  // VANTRY_SCORING_SCORING_BOXES_H_
