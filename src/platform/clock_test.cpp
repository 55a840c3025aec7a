#include "platform/clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>

namespace vantry {
namespace {

TEST(FixedClockTest, SetAndAdvanceKeepTheCalendarRight) {
  FixedClock clock(LocalDateTime{2024, 3, 0, 5, 0, 0, 0, 0});
  EXPECT_EQ(clock.Now().day_of_week, 2);  // a Tuesday, whatever was passed
  clock.Advance(std::chrono::hours{24 * 5});
  EXPECT_EQ(clock.Now(), (LocalDateTime{2024, 3, 0, 10, 0, 0, 0, 0}));
  clock.Advance(-std::chrono::milliseconds{1});
  EXPECT_EQ(clock.Now(), (LocalDateTime{2024, 3, 6, 9, 23, 59, 59, 999}));
  // Across a leap day and a year end.
  clock.Set(LocalDateTime{2024, 2, 0, 28, 23, 0, 0, 0});
  clock.Advance(std::chrono::hours{1});
  EXPECT_EQ(clock.Now(), (LocalDateTime{2024, 2, 4, 29, 0, 0, 0, 0}));
  clock.Set(LocalDateTime{1999, 12, 0, 31, 23, 59, 59, 999});
  clock.Advance(std::chrono::milliseconds{1});
  EXPECT_EQ(clock.Now(), (LocalDateTime{2000, 1, 6, 1, 0, 0, 0, 0}));
  EXPECT_EQ(FixedClock().Now(), clock.Now());
}

TEST(SystemClockTest, ReadsTheLocalTime) {
  const std::time_t before = std::time(nullptr);
  const LocalDateTime now = SystemClock().Now();
  const std::time_t after = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &before);
#else
  localtime_r(&before, &local);
#endif
  // Unless the minute turned between the readings, the fields agree with localtime.
  if (before / 60 == after / 60) {
    EXPECT_EQ(now.year, local.tm_year + 1900);
    EXPECT_EQ(now.month, local.tm_mon + 1);
    EXPECT_EQ(now.day, local.tm_mday);
    EXPECT_EQ(now.day_of_week, local.tm_wday);
    EXPECT_EQ(now.hour, local.tm_hour);
    EXPECT_EQ(now.minute, local.tm_min);
  }
  EXPECT_GE(now.milliseconds, 0);
  EXPECT_LE(now.milliseconds, 999);
}

}  // namespace
}  // namespace vantry
