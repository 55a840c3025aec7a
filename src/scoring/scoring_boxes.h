// The two scoring boxes as the scorer uses them: an order decision and a number.
#ifndef VANTRY_SCORING_SCORING_BOXES_H_
#define VANTRY_SCORING_SCORING_BOXES_H_

#include <cstdint>
#include <string_view>
#include <vector>

#include "controls/scoring_box_reader.h"
#include "scoring/question_rules.h"
#include "text/gbk_text.h"

namespace vantry {

// The key that marks group `group` of question `question` as scored by order in the
// order box: "<question>-<group>" in plain decimal, e.g. "1-2". The box is free text
// and only searched for this key, so "1-10" marks "1-1" as well.
GbkText OrderKey(int question, int group);

// Each call is one read of a box at the moment of use.
class ScoringBoxes {
 public:
  virtual ~ScoringBoxes() = default;

  // Reads the order box: true when OrderKey(question, group) occurs in it.
  virtual bool IsOrdered(int question, int group) = 0;
  // Reads the points box: its text as a whole number (TextToInteger; 0 when empty).
  virtual int32_t PointsPerHit() = 0;
};

// Reads the boxes through `reader` at every call, as the window's live run needs: the
// teacher may type while a run goes on.
class BoxesReadAtUse final : public ScoringBoxes {
 public:
  explicit BoxesReadAtUse(ScoringBoxReader& reader) : reader_(reader) {}

  bool IsOrdered(int question, int group) override;
  int32_t PointsPerHit() override;

 private:
  ScoringBoxReader& reader_;
};

// Boxes that hold still for a whole run (the batch grader): the texts are read once.
// Safe to share between threads: calls change nothing and allocate nothing.
class FixedScoringBoxes final : public ScoringBoxes {
 public:
  FixedScoringBoxes(GbkText points_per_hit_text, GbkText order_keys_text);
  // Also decides once which groups of `rules` are ordered, so that scoring does not
  // search the order box again for every alternative.
  FixedScoringBoxes(GbkText points_per_hit_text, GbkText order_keys_text,
                    const CompiledRules& rules);

  bool IsOrdered(int question, int group) override;
  int32_t PointsPerHit() override { return points_per_hit_; }

  const GbkText& points_per_hit_text() const { return points_per_hit_text_; }
  const GbkText& order_keys_text() const { return order_keys_text_; }

 private:
  GbkText points_per_hit_text_;
  GbkText order_keys_text_;
  int32_t points_per_hit_;
  // Whether group g (1-based) of question q (1-based) is ordered: entry
  // first_group_[q - 1] + g - 1, for the questions and groups of the rules given.
  std::vector<uint32_t> first_group_;
  std::vector<char> ordered_;
};

}  // namespace vantry

#endif  // VANTRY_SCORING_SCORING_BOXES_H_
