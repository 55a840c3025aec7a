#include "text/message_pump.h"

#include <utility>

namespace vantry {
namespace {

// The one piece of program-wide mutable state besides the loaded parameters: the
// window's pump, reached from deep inside text work without threading it through.
std::function<void()>& InstalledPump() {
  static std::function<void()> pump;
  return pump;
}

}  // namespace

void ProcessPendingMessages() {
  const std::function<void()>& pump = InstalledPump();
  if (pump) pump();
}

std::function<void()> SetMessagePump(std::function<void()> pump) {
  return std::exchange(InstalledPump(), std::move(pump));
}

}  // namespace vantry
