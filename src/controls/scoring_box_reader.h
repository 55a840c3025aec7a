// What the keyword scorer reads of the window: the two scoring boxes.
#ifndef VANTRY_CONTROLS_SCORING_BOX_READER_H_
#define VANTRY_CONTROLS_SCORING_BOX_READER_H_

#include "text/gbk_text.h"

namespace vantry {

// Each call returns the box's content at that moment, including what the teacher has
// typed; nothing is cached across the calls.
class ScoringBoxReader {
 public:
  virtual ~ScoringBoxReader() = default;

  // The points box, 编辑框_分值: points for one matched keyword group.
  virtual GbkText PointsPerHitText() = 0;
  // The order box, 编辑框_先后顺序: the keyword groups scored by their order.
  virtual GbkText OrderKeysText() = 0;
};

}  // namespace vantry

#endif  // VANTRY_CONTROLS_SCORING_BOX_READER_H_
