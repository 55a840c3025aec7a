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

bool HoldsOrderKey(GbkView order_keys, int question, int group) {
  if (order_keys.empty()) return false;  // an empty box holds no key
  char buffer[32];
  return FindText(order_keys, GbkView(FormatOrderKey(buffer, question, group))) > 0;
}

}  // namespace

GbkText OrderKey(int question, int group) {
  char buffer[32];
  return GbkText(FormatOrderKey(buffer, question, group));
}

GroupMode GroupModeInOrderBox(GbkView order_keys, int question, int group) {
  return HoldsOrderKey(order_keys, question, group) ? GroupMode::kOrdered
                                                    : GroupMode::kUnordered;
}

int32_t PointsInPointsBox(GbkView points_text) { return TextToInteger(points_text); }

FixedScoringBoxes::FixedScoringBoxes(GbkText points_per_hit_text, GbkText order_keys_text)
    : points_per_hit_text_(std::move(points_per_hit_text)),
      order_keys_text_(std::move(order_keys_text)),
      points_per_hit_(PointsInPointsBox(points_per_hit_text_)) {}

FixedScoringBoxes::FixedScoringBoxes(GbkText points_per_hit_text, GbkText order_keys_text,
                                     const CompiledRules& rules)
    : FixedScoringBoxes(std::move(points_per_hit_text), std::move(order_keys_text)) {
  for (int q = 1; q <= rules.question_count(); ++q) {
    first_group_.push_back(static_cast<uint32_t>(modes_.size()));
    for (int g = 1; g <= rules.Question(q)->group_count(); ++g) {
      modes_.push_back(GroupModeInOrderBox(order_keys_text_, q, g));
    }
  }
  first_group_.push_back(static_cast<uint32_t>(modes_.size()));
}

GroupMode FixedScoringBoxes::Mode(int question, int group) {
  if (question >= 1 && static_cast<size_t>(question) < first_group_.size() &&
      group >= 1) {
    const uint32_t at = first_group_[static_cast<size_t>(question) - 1] +
                        static_cast<uint32_t>(group) - 1;
    if (at < first_group_[static_cast<size_t>(question)]) return modes_[at];
  }
  return GroupModeInOrderBox(order_keys_text_, question, group);
}

}  // namespace vantry
