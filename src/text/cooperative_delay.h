// Waiting without freezing the window.
#ifndef VANTRY_TEXT_COOPERATIVE_DELAY_H_
#define VANTRY_TEXT_COOPERATIVE_DELAY_H_

#include <optional>

namespace vantry {

// Waits `duration` units while dispatching the window's pending events
// (ProcessPendingMessages) every few milliseconds, so the window repaints and handlers
// run during the wait. `unit`: 0 milliseconds, 1 seconds, 2 minutes, 3 hours; any other
// value is itself the number of milliseconds per unit. A zero or negative duration
// returns at once. Without a duration the wait is 18000000 units of the unit (of
// 18000000 ms when the unit is 0), that is without end in practice; the waiting time is
// capped at about a hundred years. Measured on the steady clock, so changes of the wall
// clock do not shorten or stretch it. Always returns true.
bool CooperativeDelay(std::optional<int> duration = std::nullopt, int unit = 0);

}  // namespace vantry

#endif  // VANTRY_TEXT_COOPERATIVE_DELAY_H_
