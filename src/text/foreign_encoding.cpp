#include "text/foreign_encoding.h"

#include <algorithm>
#include <cstddef>

namespace vantry {
namespace {

constexpr size_t kSampleBytes = 64 * 1024;

// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates); a
// sequence cut off by the end of the sample counts as well-formed.
bool IsUtf8(std::string_view bytes, bool cut_at_end) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t n = bytes.size();
  size_t i = 0;
  while (i < n) {
    const unsigned char c = p[i];
    size_t extra = 0;
    unsigned char low = 0x80, high = 0xBF;  // range of the first continuation byte
    if (c < 0x80) {
      ++i;
      continue;
    } else if (c >= 0xC2 && c <= 0xDF) {
      extra = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
      extra = 2;
      if (c == 0xE0) low = 0xA0;
      if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      extra = 3;
      if (c == 0xF0) low = 0x90;
      if (c == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    for (size_t k = 1; k <= extra; ++k) {
      if (i + k >= n) return cut_at_end;
      const unsigned char t = p[i + k];
      if (t < (k == 1 ? low : 0x80) || t > (k == 1 ? high : 0xBF)) return false;
    }
    i += extra + 1;
  }
  return true;
}

}  // namespace

ForeignEncoding DetectForeignEncoding(std::string_view bytes) {
  const bool cut = bytes.size() > kSampleBytes;
  const std::string_view sample = bytes.substr(0, kSampleBytes);
  if (sample.starts_with("\xFF\xFE") || sample.starts_with("\xFE\xFF")) {
    return ForeignEncoding::kUtf16;
  }
  // GBK text never holds NUL; UTF-16 of Latin text is half NULs, of Chinese text
  // still holds many (every ASCII character, TABs and line breaks included).
  const auto nuls = std::count(sample.begin(), sample.end(), '\0');
  if (nuls > 0 && static_cast<size_t>(nuls) * 20 >= sample.size()) {
    return ForeignEncoding::kUtf16;
  }
  if (sample.starts_with("\xEF\xBB\xBF")) return ForeignEncoding::kUtf8;
  const bool non_ascii = std::any_of(sample.begin(), sample.end(), [](char c) {
    return static_cast<unsigned char>(c) >= 0x80;
  });
  if (non_ascii && IsUtf8(sample, cut)) return ForeignEncoding::kUtf8;
  return ForeignEncoding::kNone;
}

}  // namespace vantry
