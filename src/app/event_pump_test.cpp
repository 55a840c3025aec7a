#include "app/event_pump.h"

#include <gtest/gtest.h>

#include <QTimer>
#include <chrono>
#include <thread>

namespace vantry {
namespace {

using std::chrono::milliseconds;

TEST(ThrottledEventPumpTest, ProcessesEventsAtMostOncePerInterval) {
  int before = 0;
  ThrottledEventPump pump([&] { ++before; }, milliseconds(200));
  bool timer_ran = false;
  QTimer::singleShot(0, [&] { timer_ran = true; });
  for (int i = 0; i < 100000; ++i) pump();
  EXPECT_EQ(pump.rounds(), 1);  // the first call, then nothing within 200 ms
  EXPECT_EQ(before, 1);
  EXPECT_TRUE(timer_ran);

  std::this_thread::sleep_for(milliseconds(220));
  pump();
  EXPECT_EQ(pump.rounds(), 2);
  EXPECT_EQ(before, 2);
}

TEST(ThrottledEventPumpTest, KeepsTheWindowAliveDuringLongWork) {
  ThrottledEventPump pump({}, milliseconds(10));
  int ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
  ticker.start(5);
  // Work until the timer has fired often; a loaded machine only makes this take
  // longer, so the test waits for ticks, not for a fixed time.
  const auto start = std::chrono::steady_clock::now();
  const auto deadline = start + std::chrono::seconds(30);
  while (ticks <= 10 && std::chrono::steady_clock::now() < deadline) pump();
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GT(ticks, 10);
  // Events were processed at most once per 10 ms, not on every call.
  EXPECT_LE(pump.rounds(), elapsed / milliseconds(10) + 1);
}

}  // namespace
}  // namespace vantry
