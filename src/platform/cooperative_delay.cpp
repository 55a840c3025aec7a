#include "platform/cooperative_delay.h"

#include <algorithm>
#include <thread>

#include "platform/message_pump.h"

namespace vantry {
namespace {

// The longest pause between two pumps: short enough for fluid repainting and typing.
constexpr std::chrono::milliseconds kPumpInterval{5};
// Keeps deadline arithmetic on the steady clock far from overflow.
constexpr std::chrono::milliseconds kLongestWait = std::chrono::hours{24 * 365 * 100};

}  // namespace

void CooperativeDelay(std::chrono::milliseconds duration) {
  if (duration <= std::chrono::milliseconds::zero()) return;
  const auto deadline =
      std::chrono::steady_clock::now() + std::min(duration, kLongestWait);
  for (;;) {
    ProcessPendingMessages();
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) break;
    std::this_thread::sleep_for(
        std::min<std::chrono::nanoseconds>(deadline - now, kPumpInterval));
  }
}

}  // namespace vantry
