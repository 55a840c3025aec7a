#include "platform/cooperative_delay.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/message_pump.h"

namespace vantry {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

TEST(CooperativeDelayTest, WaitsTheTimeWhilePumping) {
  int pumps = 0;
  ScopedMessagePump pump([&] { ++pumps; });
  const auto start = Clock::now();
  CooperativeDelay(milliseconds{100});
  const auto elapsed = Clock::now() - start;
  EXPECT_GE(elapsed, milliseconds{100});
  EXPECT_LT(elapsed, milliseconds{5000});
  EXPECT_GE(pumps, 5);
}

TEST(MessagePumpTest, RunsOnlyOnTheThreadThatInstalledIt) {
  int pumps = 0;
  {
    ScopedMessagePump pump([&] { ++pumps; });
    ProcessPendingMessages();
    std::thread([] { ProcessPendingMessages(); }).join();
    // A delay on another thread waits without running the window's events.
    std::thread([] { CooperativeDelay(milliseconds{30}); }).join();
    EXPECT_EQ(pumps, 1);
  }
  ProcessPendingMessages();  // removed again: nothing runs
  EXPECT_EQ(pumps, 1);
}

TEST(CooperativeDelayTest, DurationsOfAnyUnitWaitTheirTime) {
  ScopedMessagePump pump([] {});
  auto start = Clock::now();
  CooperativeDelay(std::chrono::seconds{0});
  EXPECT_LT(Clock::now() - start, milliseconds{50});
  start = Clock::now();
  CooperativeDelay(std::chrono::seconds{1});
  EXPECT_GE(Clock::now() - start, milliseconds{1000});
  start = Clock::now();
  CooperativeDelay(3 * milliseconds{40});
  EXPECT_GE(Clock::now() - start, milliseconds{120});
}

TEST(CooperativeDelayTest, ZeroOrNegativeReturnsAtOnce) {
  int pumps = 0;
  ScopedMessagePump pump([&] { ++pumps; });
  const auto start = Clock::now();
  CooperativeDelay(milliseconds{0});
  CooperativeDelay(milliseconds{-1000});
  CooperativeDelay(std::chrono::hours{-5});
  EXPECT_LT(Clock::now() - start, milliseconds{50});
  EXPECT_EQ(pumps, 0);
}

TEST(CooperativeDelayTest, HandlersRunDuringTheWait) {
  // A handler that runs inside the pump sees the delay still going and may nest.
  int depth = 0;
  int nested_runs = 0;
  ScopedMessagePump pump([&] {
    if (depth > 0 || nested_runs > 0) return;
    ++depth;
    ++nested_runs;
    CooperativeDelay(milliseconds{10});
    --depth;
  });
  const auto start = Clock::now();
  CooperativeDelay(milliseconds{30});
  EXPECT_GE(Clock::now() - start, milliseconds{30});
  EXPECT_EQ(nested_runs, 1);
}

}  // namespace
}  // namespace vantry
