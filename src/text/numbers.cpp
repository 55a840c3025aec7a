#include "text/numbers.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace vantry {
namespace {

bool IsCSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Yields the bytes of `text` with full-width characters folded to ASCII, one byte at
// a time, without building a copy.
class FoldedBytes {
 public:
  explicit FoldedBytes(std::string_view text) : text_(text) {}
  unsigned char Peek() const { return current_; }
  // Loads the next folded byte; returns false at the end.
  bool Next() {
    if (i_ >= text_.size()) return false;
    const auto c = static_cast<unsigned char>(text_[i_]);
    if (IsLeadByte(c) && i_ + 1 < text_.size()) {
      const auto t = static_cast<unsigned char>(text_[i_ + 1]);
      i_ += 2;
      if (c == 0xA3 && t >= 0xA1 && t <= 0xFE) {
        current_ = static_cast<unsigned char>(t - 0x80);
      } else if (c == 0xA1 && t == 0xA1) {
        current_ = ' ';
      } else {
        current_ = 0x80;  // any other two-byte character stops a number
      }
      return true;
    }
    ++i_;
    current_ = c;
    return true;
  }

 private:
  std::string_view text_;
  size_t i_ = 0;
  unsigned char current_ = 0;
};

int64_t ReadSaturating(std::string_view text, int64_t low, int64_t high) {
  FoldedBytes bytes(text);
  auto next = [&]() -> int { return bytes.Next() ? bytes.Peek() : -1; };
  int c = next();
  while (c >= 0 && IsCSpace(static_cast<unsigned char>(c))) c = next();
  bool negative = false;
  if (c == '+' || c == '-') {
    negative = c == '-';
    c = next();
  }
  // Accumulate as a negative number so that the lowest value is reachable exactly.
  int64_t value = 0;
  bool saturated = false;
  while (c >= '0' && c <= '9') {
    const int digit = c - '0';
    if (!saturated) {
      if (value < (std::numeric_limits<int64_t>::min() + digit) / 10) {
        saturated = true;
      } else {
        value = value * 10 - digit;
      }
    }
    c = next();
  }
  if (saturated) return negative ? low : high;
  if (negative) return value < low ? low : value;
  if (value == std::numeric_limits<int64_t>::min()) return high;
  return -value > high ? high : -value;
}

}  // namespace

int32_t TextToInteger(GbkView text) {
  return static_cast<int32_t>(ReadSaturating(text.bytes(),
                                             std::numeric_limits<int32_t>::min(),
                                             std::numeric_limits<int32_t>::max()));
}

int64_t TextToInteger64(GbkView text) {
  return ReadSaturating(text.bytes(), std::numeric_limits<int64_t>::min(),
                        std::numeric_limits<int64_t>::max());
}

int32_t TruncateToInteger(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

double RoundTo(double value, int digits) {
  // Only whole powers of ten are formed (exact in every C library; MinGW's pow(10, -2)
  // is not 0.01), and a negative number of digits divides by one.
  const double scale = std::pow(10.0, std::abs(digits));
  const double magnitude =
      (digits >= 0 ? std::fabs(value) * scale : std::fabs(value) / scale) + 1e-12;
  double whole = std::floor(magnitude);
  if (magnitude - whole >= 0.5) whole += 1.0;
  const double result = digits >= 0 ? whole / scale : whole * scale;
  return value < 0 ? -result : result;
}

GbkText FormatInteger(int64_t value) { return GbkText(std::to_string(value)); }

GbkText FormatFloat(double value) {
  char buffer[64];
  const int n = std::snprintf(buffer, sizeof buffer, "%.13g", value);
  return GbkText(std::string_view(buffer, n > 0 ? static_cast<size_t>(n) : 0));
}

}  // namespace vantry
