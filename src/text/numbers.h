// Reading and writing numbers as GbkText.
#ifndef VANTRY_TEXT_NUMBERS_H_
#define VANTRY_TEXT_NUMBERS_H_

#include <cstdint>
#include <string_view>

#include "text/gbk_text.h"

namespace vantry {

// Reads a whole number the way the teacher writes one: full-width characters
// (A3 A1..A3 FE, and the full-width space) are first folded to ASCII, then leading
// white space is skipped, one sign and the leading digits are read, and reading stops
// at the first other byte. No digits gives 0. Values beyond the 32-bit range saturate
// at INT32_MIN / INT32_MAX.
int32_t TextToInteger(GbkView text);

// Reads a 64-bit whole number (leading white space, sign, digits; saturating). Used
// for millisecond timestamps, which exceed 32 bits.
int64_t TextToInteger64(GbkView text);

// Drops the fraction toward zero, saturating at the 32-bit limits; NaN gives 0.
int32_t TruncateToInteger(double value);

// Rounds to `digits` decimals, halves away from zero (negative digits round to tens,
// hundreds, ...). The 1e-12 nudge keeps 2.0005 from rounding down through binary error.
double RoundTo(double value, int digits = 0);

// Plain decimal: optional minus sign and digits.
GbkText FormatInteger(int64_t value);
// As printf's "%.13g": 2, 1.5, 0.333, 0.3333333333333.
GbkText FormatFloat(double value);

}  // namespace vantry

#endif  // VANTRY_TEXT_NUMBERS_H_
