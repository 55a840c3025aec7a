#include "scoring/scoring_boxes.h"

#include <charconv>
#include <utility>

#include "text/find_text.h"
#include "text/numbers.h"

namespace vantry {
namespace {

// OrderKey written into `buffer`, without allocating.
std::string_view FormatOrderKey(char (&buffer)[32], int question, int group) {
  char* end = std::to_chars(buffer, buffer + sizeof buffer, question).ptr;
  *end++ = '-';
  end = std::to_chars(end, buffer + sizeof buffer, group).ptr;
  return std::string_view(buffer, static_cast<size_t>(end - buffer));
}

bool HoldsOrderKey(std::string_view order_keys, int question, int group) {
  char buffer[32];
  return FindText(order_keys, FormatOrderKey(buffer, question, group)) > 0;
}

}  // namespace

GbkText OrderKey(int question, int group) {
  char buffer[32];
  return GbkText(FormatOrderKey(buffer, question, group));
}

bool BoxesReadAtUse::IsOrdered(int question, int group) {
  return HoldsOrderKey(reader_.OrderKeysText(), question, group);
}

int32_t BoxesReadAtUse::PointsPerHit() {
  return TextToInteger(reader_.PointsPerHitText());
}

FixedScoringBoxes::FixedScoringBoxes(GbkText points_per_hit_text, GbkText order_keys_text)
    : points_per_hit_text_(std::move(points_per_hit_text)),
      order_keys_text_(std::move(order_keys_text)),
      points_per_hit_(TextToInteger(points_per_hit_text_)) {}

bool FixedScoringBoxes::IsOrdered(int question, int group) {
  return HoldsOrderKey(order_keys_text_, question, group);
}

}  // namespace vantry
