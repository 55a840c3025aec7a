#include "grading/boxes_read_at_use.h"

namespace vantry {

GroupMode BoxesReadAtUse::Mode(int question, int group) {
  return GroupModeInOrderBox(reader_.OrderKeysText(), question, group);
}

int32_t BoxesReadAtUse::PointsPerHit() {
  return PointsInPointsBox(reader_.PointsPerHitText());
}

}  // namespace vantry
