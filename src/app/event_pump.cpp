#include "app/event_pump.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace vantry {

void ThrottledEventPump::operator()() {
  const auto now = std::chrono::steady_clock::now();
  if (now - last_ < interval_) return;
  ++rounds_;
  if (before_events_) before_events_();
  QCoreApplication::processEvents(QEventLoop::AllEvents,
                                  static_cast<int>(budget_.count()));
  // Measured after processing, so a slow round is not followed at once by another.
  last_ = std::chrono::steady_clock::now();
}

}  // namespace vantry
