// The window's scoring boxes as the scorer asks them, read at every use.
#ifndef VANTRY_GRADING_BOXES_READ_AT_USE_H_
#define VANTRY_GRADING_BOXES_READ_AT_USE_H_

#include <cstdint>

#include "controls/scoring_box_reader.h"
#include "scoring/scoring_boxes.h"

namespace vantry {

// Reads the boxes through `reader` at every call, as the window's live run needs: the
// teacher may type while a run goes on. Nothing is cached across the calls.
class BoxesReadAtUse final : public ScoringBoxes {
 public:
  explicit BoxesReadAtUse(ScoringBoxReader& reader) : reader_(reader) {}

  GroupMode Mode(int question, int group) override;
  int32_t PointsPerHit() override;

 private:
  ScoringBoxReader& reader_;
};

}  // namespace vantry

#endif  // VANTRY_GRADING_BOXES_READ_AT_USE_H_
