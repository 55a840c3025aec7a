// Timestamps and date formatting.
#ifndef VANTRY_TEXT_DATE_TIME_H_
#define VANTRY_TEXT_DATE_TIME_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "text/gbk_text.h"

namespace vantry {

// The clock as a text of digits: the whole seconds since the local date-time
// 1970-01-01 08:00:00 (the Unix time on a clock set to UTC+8; elsewhere offset by the
// zone difference, which cancels in the difference of two stamps) followed by the
// milliseconds as three digits. Seconds and milliseconds come from one reading of
// `clock`. The text is zero-filled on the right to 13 characters; with `seconds_only`
// it is cut to its first 10 characters (and zero-filled to 10).
GbkText TimestampText(const Clock& clock = SystemClock(), bool seconds_only = false);

// The number the 13-character TimestampText of `time` reads as, the right-hand zero
// fill included: the difference of two is the milliseconds between them (times ten
// and more before September 2001, as the stamps' texts give it).
int64_t TimestampMilliseconds(const LocalDateTime& time);

// The name of a file dated by `day`: `stem`, the date as yyyyMMdd, then `extension`,
// e.g. 阅卷结果20261208.txt; as UTF-8 or GBK as `stem` and `extension` are (the date
// is ASCII digits).
std::string DatedFileName(std::string_view stem, const LocalDateTime& day,
                          std::string_view extension);

// The OLE automation date of `t`: days since 1899-12-30 00:00 with the time of day
// (milliseconds included) as the fraction. Before 1899-12-30 the whole part counts
// back and the fraction still counts forward in the day, so -1.25 is 1899-12-29 06:00.
double OleDateFromLocal(const LocalDateTime& t);

// The calendar date and time of `ole_date`, rounded to the nearest second
// (milliseconds 0), with day_of_week filled in. Like the Windows conversion it accepts
// only years 100 to 9999 (-657435 < ole_date < 2958466); nullopt outside or for NaN.
std::optional<LocalDateTime> LocalFromOleDate(double ole_date);

// Formats `ole_date` with a Windows date picture followed directly by a Windows time
// picture. A picture of fewer than 3 bytes is ignored (empty part); a date that
// LocalFromOleDate rejects gives the empty text.
//
// Date picture: d dd (day), ddd dddd (abbreviated / full day name), M MM (month),
// MMM MMMM (abbreviated / full month name), y yy (year in the century, without / with
// a leading zero), yyy and longer (the full year, at least four digits).
// Time picture: h hh (12-hour clock; 24-hour values with HourClock::kAlways24), H HH
// (24-hour clock), m mm, s ss, t (first character of the AM/PM designator), tt (the
// designator). A single letter shows the number without a leading zero, a double one
// with it; longer runs count as the longest form. As on Windows, each picture knows
// only its own letters: time letters in a date picture (and date letters in a time
// picture) are copied like any other character.
// Text between single quotes is copied as it stands; two single quotes give one quote.
// Two-byte characters are copied whole. Day and month names and the AM/PM designators
// come from the user's locale (LC_TIME), converted to GBK; English when the locale has
// none.
enum class HourClock {
  kAsPictured,  // h and hh give the 12-hour clock
  kAlways24,    // h and hh give the 24-hour clock too
};

GbkText FormatDateTime(double ole_date, GbkView date_picture = {},
                       GbkView time_picture = {},
                       HourClock hours = HourClock::kAsPictured);

}  // namespace vantry

#endif  // VANTRY_TEXT_DATE_TIME_H_
