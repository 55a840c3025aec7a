#include "text/foreign_encoding.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/utf8_text.h"
#include "text/gbk_codec.h"

namespace vantry {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// True when all of `text` is well-formed UTF-8 (no overlong forms, surrogates, code
// points past U+10FFFF or sequences cut off by the end); `non_ascii` tells whether it
// holds a byte above 0x7F. Stops at the first fault, which in GBK text comes early.
bool IsUtf8(std::string_view text, bool& non_ascii) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  non_ascii = false;
  size_t i = 0;
  while (i < n) {
    // ASCII runs, eight bytes at a time.
    uint64_t word = 0;
    while (i + sizeof word <= n) {
      std::memcpy(&word, p + i, sizeof word);
      if ((word & 0x8080808080808080u) != 0) break;
      i += sizeof word;
    }
    if (i == n) break;
    const unsigned char c = p[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    non_ascii = true;
    size_t extra = 0;
    unsigned char low = 0x80, high = 0xBF;  // range of the first continuation byte
    if (c >= 0xC2 && c <= 0xDF) {
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
    if (n - i <= extra) return false;
    for (size_t k = 1; k <= extra; ++k) {
      const unsigned char t = p[i + k];
      if (t < (k == 1 ? low : 0x80) || t > (k == 1 ? high : 0xBF)) return false;
    }
    i += extra + 1;
  }
  return true;
}

bool LooksLikeUtf16(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) return true;
  // GBK text never holds NUL; UTF-16 of Latin text is half NULs, of Chinese text
  // still holds many (every ASCII character, TABs and line breaks included).
  const auto nuls = std::count(bytes.begin(), bytes.end(), '\0');
  return nuls > 0 && static_cast<size_t>(nuls) * 20 >= bytes.size();
}

// Turns the well-formed UTF-8 of `text` from `from` on into GBK, in place over the
// whole of `text`: every character's GBK bytes are no more than its UTF-8 bytes, so
// the writing never overtakes the reading. Stops at the first character GBK lacks.
std::optional<CharacterOutsideGbk> Utf8ToGbkInPlace(std::string& text, size_t from) {
  size_t out = 0;
  for (size_t at = from; at < text.size();) {
    const auto c = static_cast<unsigned char>(text[at]);
    if (c < 0x80) {
      text[out++] = static_cast<char>(c);
      ++at;
      continue;
    }
    char32_t code_point = 0;
    const size_t length = DecodeUtf8(text, at, code_point);
    char gbk[2];
    const int written = length == 0 ? 0 : EncodeGbkCharacter(code_point, gbk);
    if (written == 0) {
      // The line breaks written so far are those read so far; the line's characters
      // before this one are GBK by now.
      const std::string_view done(text.data(), out);
      const size_t line_start = done.rfind('\n') + 1;  // 0 when there is none
      int64_t column = 1;
      for (size_t i = line_start; i < out;
           i += IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1) {
        ++column;
      }
      return CharacterOutsideGbk{1 + std::count(done.begin(), done.end(), '\n'), column,
                                 text.substr(at, std::max<size_t>(length, 1)),
                                 code_point};
    }
    std::memcpy(text.data() + out, gbk, static_cast<size_t>(written));
    out += static_cast<size_t>(written);
    at += length;
  }
  text.resize(out);
  return std::nullopt;
}

}  // namespace

ForeignEncoding DetectForeignEncoding(std::string_view bytes) {
  if (LooksLikeUtf16(bytes)) return ForeignEncoding::kUtf16;
  bool non_ascii = false;
  if (!IsUtf8(bytes, non_ascii)) return ForeignEncoding::kNone;
  return non_ascii || bytes.starts_with(kUtf8Mark) ? ForeignEncoding::kUtf8
                                                   : ForeignEncoding::kNone;
}

std::string CodePointText(char32_t code_point) {
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(code_point));
  return text;
}

GbkReading ReadAsGbk(std::string bytes) {
  GbkReading reading;
  reading.encoding = DetectForeignEncoding(bytes);
  if (reading.encoding == ForeignEncoding::kUtf16) return reading;
  const size_t mark = bytes.starts_with(kUtf8Mark) ? kUtf8Mark.size() : 0;
  if (reading.encoding == ForeignEncoding::kUtf8) {
    reading.outside_gbk = Utf8ToGbkInPlace(bytes, mark);
    if (reading.outside_gbk) return reading;
  } else {
    bytes.erase(0, mark);
  }
  reading.text = GbkText(std::move(bytes));
  return reading;
}

}  // namespace vantry
