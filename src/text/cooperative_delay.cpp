#include "text/cooperative_delay.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "text/message_pump.h"

namespace vantry {
namespace {

constexpr int kEndlessCount = 18000000;
// The longest pause between two pumps: short enough for fluid repainting and typing.
constexpr std::chrono::milliseconds kPumpInterval{5};
// Keeps deadline arithmetic on the steady clock far from overflow.
constexpr std::chrono::nanoseconds kLongestWait = std::chrono::hours{24 * 365 * 100};

double MillisecondsPerUnit(int unit) {
  switch (unit) {
    case 0:
      return 1;
    case 1:
      return 1000;
    case 2:
      return 60000;
    case 3:
      return 3600000;
    default:
      return unit;
  }
}

}  // namespace

bool CooperativeDelay(std::optional<int> duration, int unit) {
  if (!duration) {
    duration = kEndlessCount;
    if (unit == 0) unit = kEndlessCount;
  }
  // The wait in 100-nanosecond steps, computed in floating point and truncated.
  const double steps = std::trunc(*duration * MillisecondsPerUnit(unit) * 10000.0);
  if (!(steps > 0)) return true;
  const double longest_steps = static_cast<double>(kLongestWait.count() / 100);
  const auto wait = std::chrono::nanoseconds{
      static_cast<int64_t>(std::min(steps, longest_steps)) * 100};

  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (;;) {
    ProcessPendingMessages();
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) break;
    std::this_thread::sleep_for(
        std::min<std::chrono::nanoseconds>(deadline - now, kPumpInterval));
  }
  return true;
}

}  // namespace vantry
