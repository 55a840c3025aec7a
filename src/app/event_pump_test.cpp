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
  const auto end = std::chrono::steady_clock::now() + milliseconds(300);
  while (std::chrono::steady_clock::now() < end) pump();
  EXPECT_GT(ticks, 10);
  EXPECT_LT(pump.rounds(), 40);
}

}  // namespace
}  // namespace vantry
