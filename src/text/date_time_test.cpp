#include "text/date_time.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <string_view>

#include "testing/test_support.h"
#include "text/numbers.h"
#include "text/time_names.h"

namespace vantry {
namespace {

using testing::Gbk;

LocalDateTime At(int year, int month, int day, int hour = 0, int minute = 0,
                 int second = 0, int milliseconds = 0) {
  return LocalDateTime{year, month, 0, day, hour, minute, second, milliseconds};
}

TEST(TimestampTextTest, MillisecondsAreTheLastThreeDigits) {
  FixedClock clock(At(2024, 3, 5, 10, 20, 30, 500));
  const GbkText stamp = TimestampText(clock);
  ASSERT_EQ(stamp.size(), 13u);
  EXPECT_EQ(stamp.substr(10), "500"_gbk);
  EXPECT_EQ(stamp.bytes().find_first_not_of("0123456789"), std::string::npos);

  clock.Set(At(2024, 3, 5, 10, 20, 30, 5));
  EXPECT_EQ(TimestampText(clock).substr(10), "005"_gbk);
  clock.Set(At(2024, 3, 5, 10, 20, 30, 45));
  EXPECT_EQ(TimestampText(clock).substr(10), "045"_gbk);
}

TEST(TimestampTextTest, SecondsSinceTheUtcPlus8Epoch) {
  // 08:00 local on a UTC+8 clock is 00:00 UTC: 2024-03-05 00:00:00 UTC is 1709596800.
  FixedClock clock(At(2024, 3, 5, 8, 0, 0, 123));
  EXPECT_EQ(TimestampText(clock), "1709596800123"_gbk);
  EXPECT_EQ(TimestampText(clock, /*seconds_only=*/true), "1709596800"_gbk);
  clock.Set(At(1970, 1, 1, 8, 0, 1, 0));
  EXPECT_EQ(TimestampText(clock), "1000000000000"_gbk);  // zero-filled on the right
  EXPECT_EQ(TimestampText(clock, true), "1000000000"_gbk);
  clock.Set(At(1970, 1, 1, 8, 0, 0, 7));
  EXPECT_EQ(TimestampText(clock), "0007000000000"_gbk);
}

TEST(TimestampTextTest, StampsASecondApartDifferByAThousand) {
  FixedClock clock(At(2023, 12, 31, 23, 59, 59, 250));
  const int64_t first = TextToInteger64(TimestampText(clock));
  clock.Advance(std::chrono::milliseconds{1000});
  EXPECT_EQ(clock.Now().year, 2024);
  EXPECT_EQ(TextToInteger64(TimestampText(clock)) - first, 1000);
  clock.Advance(std::chrono::milliseconds{1});
  EXPECT_EQ(TextToInteger64(TimestampText(clock)) - first, 1001);
}

TEST(TimestampMillisecondsTest, ReadsAsTheStampsText) {
  for (const LocalDateTime& time :
       {At(2024, 3, 5, 8, 0, 0, 123), At(2023, 12, 31, 23, 59, 59, 250),
        At(1970, 1, 1, 8, 0, 1, 0), At(1970, 1, 1, 8, 0, 0, 7),
        At(2000, 1, 1, 0, 0, 0, 999), At(1969, 12, 31, 23, 0, 0, 123),
        At(2001, 9, 9, 9, 46, 40, 1), At(2300, 1, 1, 0, 0, 0, 42)}) {
    SCOPED_TRACE(TimestampText(FixedClock(time)).bytes());
    EXPECT_EQ(TimestampMilliseconds(time),
              TextToInteger64(TimestampText(FixedClock(time))));
  }
}

TEST(DatedFileNameTest, StemDateExtension) {
  EXPECT_EQ(DatedFileName("阅卷结果", At(2026, 12, 8, 23, 59), ".txt"),
            "阅卷结果20261208.txt");
  EXPECT_EQ(DatedFileName("a", At(987, 1, 2), ".b"), "a09870102.b");
}

TEST(TimestampTextTest, SystemClockGivesACurrentStamp) {
  const GbkText stamp = TimestampText();
  ASSERT_EQ(stamp.size(), 13u);
  const int64_t unix_ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::system_clock::now().time_since_epoch())
                              .count();
  // Off from the Unix time by at most the zone difference (under 15 hours).
  EXPECT_LT(std::abs(TextToInteger64(stamp) - unix_ms), 15LL * 3600 * 1000);
  EXPECT_EQ(TimestampText(SystemClock(), true).size(), 10u);
}

TEST(OleDateTest, ConvertsBothWays) {
  EXPECT_DOUBLE_EQ(OleDateFromLocal(At(1899, 12, 30)), 0.0);
  EXPECT_DOUBLE_EQ(OleDateFromLocal(At(1900, 1, 1, 18)), 2.75);
  EXPECT_DOUBLE_EQ(OleDateFromLocal(At(1899, 12, 29, 6)), -1.25);
  EXPECT_DOUBLE_EQ(OleDateFromLocal(At(2024, 3, 5, 12)), 45356.5);

  const auto t = LocalFromOleDate(45356.5);
  ASSERT_TRUE(t.has_value());
  EXPECT_EQ(*t, (LocalDateTime{2024, 3, 2, 5, 12, 0, 0, 0}));
  EXPECT_EQ(*LocalFromOleDate(-1.25), (LocalDateTime{1899, 12, 5, 29, 6, 0, 0, 0}));
  // Rounded to the nearest second, carrying into the next day.
  EXPECT_EQ(*LocalFromOleDate(OleDateFromLocal(At(2024, 3, 5, 23, 59, 59, 600))),
            (LocalDateTime{2024, 3, 3, 6, 0, 0, 0, 0}));
  EXPECT_EQ(LocalFromOleDate(OleDateFromLocal(At(2024, 3, 5, 10, 20, 30, 400)))->second,
            30);
}

TEST(OleDateTest, AcceptsOnlyYears100To9999) {
  EXPECT_EQ(LocalFromOleDate(OleDateFromLocal(At(100, 1, 1)))->year, 100);
  EXPECT_EQ(LocalFromOleDate(OleDateFromLocal(At(9999, 12, 31, 23, 59, 59)))->year, 9999);
  EXPECT_FALSE(LocalFromOleDate(OleDateFromLocal(At(99, 12, 31))).has_value());
  EXPECT_FALSE(LocalFromOleDate(OleDateFromLocal(At(10000, 1, 1))).has_value());
  EXPECT_FALSE(LocalFromOleDate(std::numeric_limits<double>::quiet_NaN()).has_value());
  EXPECT_FALSE(LocalFromOleDate(1e300).has_value());
}

// True when the environment's LC_TIME is one whose names are the English ones.
bool EnglishLocale() {
  for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value == nullptr || *value == '\0') continue;
    const std::string_view name(value);
    return name == "C" || name == "POSIX" || name.starts_with("C.") ||
           name.starts_with("en_");
  }
  return true;
}

TEST(FormatDateTimeTest, ReportFileDate) {
  const double march_5 = OleDateFromLocal(At(2024, 3, 5, 14, 7, 9));
  EXPECT_EQ(FormatDateTime(march_5, "yyyyMMdd"_gbk), "20240305"_gbk);
  EXPECT_EQ(FormatDateTime(OleDateFromLocal(At(2025, 11, 23)), "yyyyMMdd"_gbk),
            "20251123"_gbk);
  // Pictures of one or two bytes are ignored.
  EXPECT_EQ(FormatDateTime(march_5, "yy"_gbk), ""_gbk);
  EXPECT_EQ(FormatDateTime(march_5, "d"_gbk), ""_gbk);
  EXPECT_EQ(FormatDateTime(march_5, ""_gbk, "HH"_gbk), ""_gbk);
  EXPECT_EQ(FormatDateTime(march_5), ""_gbk);
  // A date the conversion rejects gives nothing.
  EXPECT_EQ(FormatDateTime(-700000.0, "yyyyMMdd"_gbk), ""_gbk);
  EXPECT_EQ(FormatDateTime(3e6, "yyyyMMdd"_gbk, "HH:mm"_gbk), ""_gbk);
}

TEST(FormatDateTimeTest, DateNumbers) {
  const double t = OleDateFromLocal(At(2009, 3, 5));
  EXPECT_EQ(FormatDateTime(t, "d/dd/M/MM"_gbk), "5/05/3/03"_gbk);
  EXPECT_EQ(FormatDateTime(t, "y|yy|yyy|yyyy|yyyyy"_gbk), "9|09|2009|2009|2009"_gbk);
  EXPECT_EQ(FormatDateTime(OleDateFromLocal(At(2010, 12, 25)), "y.yy"_gbk), "10.10"_gbk);
  EXPECT_EQ(FormatDateTime(OleDateFromLocal(At(100, 1, 1)), "yyyy-MM-dd"_gbk),
            "0100-01-01"_gbk);
  // Two-byte characters are copied whole; their second bytes are not letters here.
  EXPECT_EQ(FormatDateTime(t, Gbk("yyyy年M月d日")), Gbk("2009年3月5日"));
  // 0xC8 0x79 has "y" as its second byte.
  EXPECT_EQ(FormatDateTime(t, GbkView("\xC8yyy")), GbkView("\xC8y09"));
}

TEST(FormatDateTimeTest, DateAndTimeNames) {
  const double t = OleDateFromLocal(At(2024, 3, 5, 15, 4));  // a Tuesday afternoon
  const TimeNames& names = UserTimeNames();
  EXPECT_EQ(FormatDateTime(t, "ddd,dddd,MMM,MMMM"_gbk),
            names.abbreviated_days[2] + ","_gbk + names.days[2] + ","_gbk +
                names.abbreviated_months[2] + ","_gbk + names.months[2]);
  EXPECT_EQ(FormatDateTime(t, ""_gbk, "h tt"_gbk), "3 "_gbk + names.pm);
  if (EnglishLocale()) {
    EXPECT_EQ(FormatDateTime(t, "dddd d MMMM yyyy"_gbk), "Tuesday 5 March 2024"_gbk);
    EXPECT_EQ(FormatDateTime(t, "ddd MMM"_gbk), "Tue Mar"_gbk);
    EXPECT_EQ(FormatDateTime(t, ""_gbk, "h:mm t"_gbk), "3:04 P"_gbk);
    EXPECT_EQ(
        FormatDateTime(OleDateFromLocal(At(2024, 3, 5, 0, 4)), ""_gbk, "hh:mm tt"_gbk),
        "12:04 AM"_gbk);
  }
}

TEST(FormatDateTimeTest, TimeFieldsAnd24Hours) {
  const double afternoon = OleDateFromLocal(At(2024, 3, 5, 15, 4, 9));
  EXPECT_EQ(FormatDateTime(afternoon, ""_gbk, "H:HH:h:hh:m:mm:s:ss"_gbk),
            "15:15:3:03:4:04:9:09"_gbk);
  EXPECT_EQ(FormatDateTime(afternoon, ""_gbk, "hh:mm"_gbk, HourClock::kAlways24),
            "15:04"_gbk);
  EXPECT_EQ(FormatDateTime(afternoon, ""_gbk, "hh:mm"_gbk, HourClock::kAsPictured),
            "03:04"_gbk);
  const double morning = OleDateFromLocal(At(2024, 3, 5, 9, 0, 0));
  EXPECT_EQ(FormatDateTime(morning, ""_gbk, "hhh:HHH"_gbk), "09:09"_gbk);
  EXPECT_EQ(FormatDateTime(OleDateFromLocal(At(2024, 3, 5, 0, 30)), ""_gbk, "h:mm"_gbk),
            "12:30"_gbk);
  EXPECT_EQ(FormatDateTime(OleDateFromLocal(At(2024, 3, 5, 0, 30)), ""_gbk, "h:mm"_gbk,
                           HourClock::kAlways24),
            "0:30"_gbk);
  // The date part and the time part follow each other directly.
  EXPECT_EQ(FormatDateTime(afternoon, "yyyyMMdd"_gbk, "HHmmss"_gbk),
            "20240305150409"_gbk);
}

TEST(FormatDateTimeTest, LiteralsAndForeignLetters) {
  const double t = OleDateFromLocal(At(2024, 3, 5, 15, 4, 9));
  EXPECT_EQ(FormatDateTime(t, "'day' d"_gbk), "day 5"_gbk);
  EXPECT_EQ(FormatDateTime(t, ""_gbk, "h 'o''clock'"_gbk), "3 o'clock"_gbk);
  EXPECT_EQ(FormatDateTime(t, "dd''MM"_gbk), "05'03"_gbk);
  EXPECT_EQ(FormatDateTime(t, "'yyyy"_gbk),
            "yyyy"_gbk);  // an unclosed quote runs to the end
  // Each picture knows only its own letters.
  EXPECT_EQ(FormatDateTime(t, "yyyy HH:mm"_gbk), "2024 HH:mm"_gbk);
  EXPECT_EQ(FormatDateTime(t, ""_gbk, "HH yyyy"_gbk), "15 yyyy"_gbk);
  EXPECT_EQ(FormatDateTime(t, "[x-dd_z]"_gbk), "[x-05_z]"_gbk);
}

}  // namespace
}  // namespace vantry
