#include "text/date_time.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <string>

#include "text/time_names.h"

namespace vantry {
namespace {

using std::chrono::days;
using std::chrono::sys_days;

constexpr double kMillisecondsPerDay = 86400000.0;
// The range of the Windows conversion: years 100 to 9999.
constexpr double kOleDateMin = -657435.0;  // exclusive
constexpr double kOleDateMax = 2958466.0;  // exclusive

sys_days OleEpoch() { return sys_days{std::chrono::year{1899} / 12 / 30}; }

// Days from 1899-12-30 to the date of `t`; the day may run over the month.
int64_t OleDays(const LocalDateTime& t) {
  const sys_days first{std::chrono::year{t.year} / t.month / 1};
  return (first + days{t.day - 1} - OleEpoch()).count();
}

void AppendNumber(GbkText& out, int64_t value, int min_digits) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  if (value < 0) out.push_back('-');
  if (static_cast<int>(digits.size()) < min_digits) {
    out.append(static_cast<size_t>(min_digits) - digits.size(), '0');
  }
  out += GbkView(digits);
}

// The first character of `text` (one or two bytes).
GbkView FirstCharacter(GbkView text) {
  if (text.empty()) return text;
  return text.substr(0, IsLeadByte(static_cast<unsigned char>(text[0])) ? 2 : 1);
}

// Expands one run of `count` equal picture letters; false when `letter` is not a field
// of this picture.
using FieldWriter = bool (*)(const LocalDateTime& t, char letter, int count,
                             bool force_24, GbkText& out);

bool WriteDateField(const LocalDateTime& t, char letter, int count, bool, GbkText& out) {
  const TimeNames& names = UserTimeNames();
  switch (letter) {
    case 'd':
      if (count <= 2) {
        AppendNumber(out, t.day, count);
      } else {
        const auto& list = count == 3 ? names.abbreviated_days : names.days;
        out += list[static_cast<size_t>(t.day_of_week) % 7];
      }
      return true;
    case 'M':
      if (count <= 2) {
        AppendNumber(out, t.month, count);
      } else {
        const auto& list = count == 3 ? names.abbreviated_months : names.months;
        out += list[static_cast<size_t>(t.month - 1) % 12];
      }
      return true;
    case 'y':
      if (count <= 2) {
        AppendNumber(out, t.year % 100, count);
      } else {
        AppendNumber(out, t.year, 4);
      }
      return true;
    default:
      return false;
  }
}

bool WriteTimeField(const LocalDateTime& t, char letter, int count, bool force_24,
                    GbkText& out) {
  const int digits = count >= 2 ? 2 : 1;
  switch (letter) {
    case 'h':
      if (force_24) {
        AppendNumber(out, t.hour, digits);
      } else {
        AppendNumber(out, t.hour % 12 == 0 ? 12 : t.hour % 12, digits);
      }
      return true;
    case 'H':
      AppendNumber(out, t.hour, digits);
      return true;
    case 'm':
      AppendNumber(out, t.minute, digits);
      return true;
    case 's':
      AppendNumber(out, t.second, digits);
      return true;
    case 't': {
      const TimeNames& names = UserTimeNames();
      const GbkText& designator = t.hour < 12 ? names.am : names.pm;
      out += count >= 2 ? GbkView(designator) : FirstCharacter(designator);
      return true;
    }
    default:
      return false;
  }
}

// Expands `picture`: quoted text is copied without its quotes ('' is one quote), runs
// of field letters go to `write`, and every other character is copied whole.
GbkText ExpandPicture(const LocalDateTime& t, std::string_view picture, bool force_24,
                      FieldWriter write) {
  GbkText out;
  size_t i = 0;
  while (i < picture.size()) {
    const char c = picture[i];
    if (c == '\'') {
      if (i + 1 < picture.size() && picture[i + 1] == '\'') {
        out.push_back('\'');
        i += 2;
        continue;
      }
      // Quoted text runs to the next lone quote (or to the end).
      for (++i; i < picture.size(); ++i) {
        if (picture[i] == '\'') {
          if (i + 1 < picture.size() && picture[i + 1] == '\'') {
            out.push_back('\'');
            ++i;
            continue;
          }
          ++i;
          break;
        }
        out.push_back(picture[i]);
      }
      continue;
    }
    if (IsLeadByte(static_cast<unsigned char>(c))) {
      const size_t n = i + 1 < picture.size() ? 2 : 1;
      out.append(GbkView(picture.substr(i, n)));
      i += n;
      continue;
    }
    size_t run = i + 1;
    while (run < picture.size() && picture[run] == c) ++run;
    if (write(t, c, static_cast<int>(run - i), force_24, out)) {
      i = run;
    } else {
      out.push_back(c);
      ++i;
    }
  }
  return out;
}

}  // namespace

GbkText TimestampText(const Clock& clock, bool seconds_only) {
  LocalDateTime now = clock.Now();
  const int milliseconds = now.milliseconds < 0 ? 0 : now.milliseconds % 1000;
  now.milliseconds = 0;
  const LocalDateTime epoch{1970, 1, 4, 1, 8, 0, 0, 0};
  const double difference_days = OleDateFromLocal(now) - OleDateFromLocal(epoch);
  const auto seconds = static_cast<int64_t>(difference_days * 86400.0 + 0.5);

  GbkText full(std::to_string(seconds));
  AppendNumber(full, milliseconds, 3);
  const size_t width = seconds_only ? 10 : 13;
  if (full.size() > width && seconds_only) full.resize(width);
  if (full.size() < width) full.append(width - full.size(), '0');
  return full;
}

int64_t TimestampMilliseconds(const LocalDateTime& time) {
  LocalDateTime whole = time;
  const int milliseconds = whole.milliseconds < 0 ? 0 : whole.milliseconds % 1000;
  whole.milliseconds = 0;
  const LocalDateTime epoch{1970, 1, 4, 1, 8, 0, 0, 0};
  const auto seconds = static_cast<int64_t>(
      (OleDateFromLocal(whole) - OleDateFromLocal(epoch)) * 86400.0 + 0.5);
  // The stamp's text is the seconds' digits and three of milliseconds, zero-filled on
  // the right to 13 characters; a minus sign counts as one.
  int64_t value = seconds * 1000 + (seconds < 0 ? -milliseconds : milliseconds);
  for (size_t width = std::to_string(seconds).size() + 3; width < 13; ++width)
    value *= 10;
  return value;
}

std::string DatedFileName(std::string_view stem, const LocalDateTime& day,
                          std::string_view extension) {
  std::string name(stem);
  name += FormatDateTime(OleDateFromLocal(day), "yyyyMMdd"_gbk).bytes();
  name += extension;
  return name;
}

double OleDateFromLocal(const LocalDateTime& t) {
  const int64_t whole_days = OleDays(t);
  const double fraction =
      (((t.hour * 60.0 + t.minute) * 60.0 + t.second) * 1000.0 + t.milliseconds) /
      kMillisecondsPerDay;
  const auto day = static_cast<double>(whole_days);
  return whole_days < 0 ? day - fraction : day + fraction;
}

std::optional<LocalDateTime> LocalFromOleDate(double ole_date) {
  if (!(ole_date > kOleDateMin && ole_date < kOleDateMax)) return std::nullopt;
  const double whole_days = std::trunc(ole_date);
  auto seconds =
      static_cast<int64_t>(std::llround(std::fabs(ole_date - whole_days) * 86400.0));
  sys_days date = OleEpoch() + days{static_cast<int64_t>(whole_days)};
  if (seconds >= 86400) {
    seconds -= 86400;
    date += days{1};
  }
  const std::chrono::year_month_day ymd{date};
  LocalDateTime out;
  out.year = static_cast<int>(ymd.year());
  out.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
  out.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
  out.day_of_week = static_cast<int>(std::chrono::weekday{date}.c_encoding());
  out.hour = static_cast<int>(seconds / 3600);
  out.minute = static_cast<int>(seconds / 60 % 60);
  out.second = static_cast<int>(seconds % 60);
  return out;
}

GbkText FormatDateTime(double ole_date, GbkView date_picture, GbkView time_picture,
                       HourClock hours) {
  const std::optional<LocalDateTime> t = LocalFromOleDate(ole_date);
  if (!t) return {};
  GbkText out;
  if (date_picture.size() > 2)
    out += ExpandPicture(*t, date_picture.bytes(), false, WriteDateField);
  if (time_picture.size() > 2) {
    out += ExpandPicture(*t, time_picture.bytes(), hours == HourClock::kAlways24,
                         WriteTimeField);
  }
  return out;
}

}  // namespace vantry
