// The names that date and time pictures show: months, days, AM/PM.
#ifndef VANTRY_TEXT_TIME_NAMES_H_
#define VANTRY_TEXT_TIME_NAMES_H_

#include <array>

#include "text/gbk_text.h"

namespace vantry {

struct TimeNames {
  std::array<GbkText, 12> months;  // January first
  std::array<GbkText, 12> abbreviated_months;
  std::array<GbkText, 7> days;  // Sunday first
  std::array<GbkText, 7> abbreviated_days;
  GbkText am;
  GbkText pm;
};

// The names of the user's locale (LC_TIME of the environment on POSIX, the user's
// default locale on Windows), in GBK, read once per process. A name the locale lacks or
// that cannot be converted is the English one.
const TimeNames& UserTimeNames();

// The English names (the C locale's).
const TimeNames& EnglishTimeNames();

}  // namespace vantry

#endif  // VANTRY_TEXT_TIME_NAMES_H_
