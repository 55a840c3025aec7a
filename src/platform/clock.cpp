#include "platform/clock.h"

#include <ctime>

namespace vantry {
namespace {

using std::chrono::days;
using std::chrono::milliseconds;
using std::chrono::sys_days;
using std::chrono::year_month_day;

// The calendar fields of `time`, counted in milliseconds since 1970-01-01 00:00 of the
// same (local) calendar; the time fields may run over (25 hours) and carry.
milliseconds CalendarMilliseconds(const LocalDateTime& time) {
  const sys_days date{std::chrono::year{time.year} / time.month / 1};
  return std::chrono::duration_cast<milliseconds>(
             (date + days{time.day - 1}).time_since_epoch()) +
         std::chrono::hours{time.hour} + std::chrono::minutes{time.minute} +
         std::chrono::seconds{time.second} + milliseconds{time.milliseconds};
}

LocalDateTime FromCalendarMilliseconds(milliseconds since_epoch) {
  const auto date = std::chrono::floor<days>(since_epoch);
  const year_month_day ymd{sys_days{date}};
  const std::chrono::hh_mm_ss time_of_day{since_epoch - date};
  LocalDateTime out;
  out.year = static_cast<int>(ymd.year());
  out.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
  out.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
  out.day_of_week = static_cast<int>(std::chrono::weekday{sys_days{date}}.c_encoding());
  out.hour = static_cast<int>(time_of_day.hours().count());
  out.minute = static_cast<int>(time_of_day.minutes().count());
  out.second = static_cast<int>(time_of_day.seconds().count());
  out.milliseconds = static_cast<int>(time_of_day.subseconds().count());
  return out;
}

class LocalWallClock : public Clock {
 public:
  LocalDateTime Now() const override {
    const auto now = std::chrono::system_clock::now();
    const auto since_epoch =
        std::chrono::duration_cast<milliseconds>(now.time_since_epoch());
    const std::time_t seconds = static_cast<std::time_t>(
        std::chrono::floor<std::chrono::seconds>(since_epoch).count());
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    LocalDateTime out;
    out.year = local.tm_year + 1900;
    out.month = local.tm_mon + 1;
    out.day_of_week = local.tm_wday;
    out.day = local.tm_mday;
    out.hour = local.tm_hour;
    out.minute = local.tm_min;
    // A leap second shows as 59, as the Windows clock never shows 60.
    out.second = local.tm_sec > 59 ? 59 : local.tm_sec;
    out.milliseconds = static_cast<int>(
        (since_epoch - std::chrono::floor<std::chrono::seconds>(since_epoch)).count());
    return out;
  }
};

}  // namespace

const Clock& SystemClock() {
  static const LocalWallClock clock;
  return clock;
}

FixedClock::FixedClock() : FixedClock(LocalDateTime{2000, 1, 6, 1, 0, 0, 0, 0}) {}

void FixedClock::Set(const LocalDateTime& time) {
  now_ = time;
  const sys_days date{std::chrono::year{time.year} / time.month / time.day};
  now_.day_of_week = static_cast<int>(std::chrono::weekday{date}.c_encoding());
}

void FixedClock::Advance(milliseconds step) {
  now_ = FromCalendarMilliseconds(CalendarMilliseconds(now_) + step);
}

}  // namespace vantry
