// The message pump that keeps the window alive during long work.
#ifndef VANTRY_APP_EVENT_PUMP_H_
#define VANTRY_APP_EVENT_PUMP_H_

#include <chrono>
#include <functional>

namespace vantry {

// Processes the pending Qt events (repaints, typing, clicks), but only when at least
// `interval` has passed since it last did, and for at most `budget` each time. Work
// that calls the pump once per item (millions of times in a large grading run) thus
// pays a clock reading per call, while the window still repaints many times a second.
// `before_events` runs first in each round (the window's controls hand over their texts).
class ThrottledEventPump {
 public:
  explicit ThrottledEventPump(
      std::function<void()> before_events = {},
      std::chrono::milliseconds interval = std::chrono::milliseconds(12),
      std::chrono::milliseconds budget = std::chrono::milliseconds(25))
      : before_events_(std::move(before_events)), interval_(interval), budget_(budget) {}

  void operator()();

  // How many times events were actually processed.
  long long rounds() const { return rounds_; }

 private:
  std::function<void()> before_events_;
  std::chrono::steady_clock::duration interval_;
  std::chrono::milliseconds budget_;
  std::chrono::steady_clock::time_point last_{};
  long long rounds_ = 0;
};

}  // namespace vantry

#endif  // VANTRY_APP_EVENT_PUMP_H_
