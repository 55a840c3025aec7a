// Waiting without freezing the window.
#ifndef VANTRY_PLATFORM_COOPERATIVE_DELAY_H_
#define VANTRY_PLATFORM_COOPERATIVE_DELAY_H_

#include <chrono>

namespace vantry {

// Waits `duration` while dispatching the window's pending events
// (ProcessPendingMessages) every few milliseconds, so the window repaints and handlers
// run during the wait. A zero or negative duration returns at once; the wait is capped
// at about a hundred years. Measured on the steady clock, so changes of the wall clock
// do not shorten or stretch it. Without a duration the wait has no end in practice.
inline constexpr std::chrono::milliseconds kDelayWithoutEnd{18'000'000LL * 18'000'000LL};
void CooperativeDelay(std::chrono::milliseconds duration = kDelayWithoutEnd);

}  // namespace vantry

#endif  // VANTRY_PLATFORM_COOPERATIVE_DELAY_H_
