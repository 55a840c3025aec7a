// The hook through which long text work keeps the window alive.
#ifndef VANTRY_PLATFORM_MESSAGE_PUMP_H_
#define VANTRY_PLATFORM_MESSAGE_PUMP_H_

#include <functional>

namespace vantry {

// Dispatches the window events already queued and returns without waiting. Runs the
// pump a window installed; does nothing while none is installed (tests, the batch
// grader) and on any thread but the one that installed it (work handed to another
// thread must not run the window's events). Event handlers may run inside it, so callers
// read window contents after it at the moment of use.
void ProcessPendingMessages();

// Installs `pump` for the whole program, to run on the calling thread (an empty
// function removes it), and returns the one it replaces. The window installs its
// event-loop pump once at start-up.
std::function<void()> SetMessagePump(std::function<void()> pump);

// Installs a pump for the lifetime of a scope and restores the previous one.
class ScopedMessagePump {
 public:
  explicit ScopedMessagePump(std::function<void()> pump)
      : previous_(SetMessagePump(std::move(pump))) {}
  ScopedMessagePump(const ScopedMessagePump&) = delete;
  ScopedMessagePump& operator=(const ScopedMessagePump&) = delete;
  ~ScopedMessagePump() { SetMessagePump(std::move(previous_)); }

 private:
  std::function<void()> previous_;
};

}  // namespace vantry

#endif  // VANTRY_PLATFORM_MESSAGE_PUMP_H_
