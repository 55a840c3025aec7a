#include "platform/message_pump.h"

#include <atomic>
#include <thread>
#include <utility>

namespace vantry {
namespace {

// The one piece of program-wide mutable state besides the loaded parameters: the
// window's pump, reached from deep inside text work without threading it through.
struct InstalledPump {
  std::function<void()> pump;
  // The thread that installed it: the window's. Work on other threads never runs it.
  std::atomic<std::thread::id> owner;
};

InstalledPump& Installed() {
  static InstalledPump installed;
  return installed;
}

}  // namespace

void ProcessPendingMessages() {
  InstalledPump& installed = Installed();
  if (installed.owner.load(std::memory_order_acquire) != std::this_thread::get_id())
    return;
  if (installed.pump) installed.pump();
}

std::function<void()> SetMessagePump(std::function<void()> pump) {
  InstalledPump& installed = Installed();
  installed.owner.store(pump ? std::this_thread::get_id() : std::thread::id(),
                        std::memory_order_release);
  return std::exchange(installed.pump, std::move(pump));
}

}  // namespace vantry
