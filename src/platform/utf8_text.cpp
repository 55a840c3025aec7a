#include "platform/utf8_text.h"

namespace vantry {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

}  // namespace

void AppendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

char32_t NextUtf16(std::u16string_view text, size_t& at) {
  const char32_t c = text[at++];
  if (c >= 0xD800 && c <= 0xDBFF && at < text.size() && text[at] >= 0xDC00 &&
      text[at] <= 0xDFFF) {
    return 0x10000 + ((c - 0xD800) << 10) + (text[at++] - 0xDC00);
  }
  return c;
}

size_t DecodeUtf8(std::string_view text, size_t at, char32_t& c) {
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char lead = s[at];
  const size_t len = lead < 0x80           ? 1
                     : (lead >> 5) == 0x6  ? 2
                     : (lead >> 4) == 0xE  ? 3
                     : (lead >> 3) == 0x1E ? 4
                                           : 0;
  if (len == 0 || at + len > text.size()) return 0;
  char32_t cp = len == 1   ? lead
                : len == 2 ? (lead & 0x1F)
                : len == 3 ? (lead & 0x0F)
                           : (lead & 0x07);
  for (size_t k = 1; k < len; ++k) {
    if ((s[at + k] & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (s[at + k] & 0x3F);
  }
  static constexpr char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMin[len] || cp > 0x10FFFF || IsSurrogate(cp)) return 0;
  c = cp;
  return len;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    char32_t c = kReplacement;
    const size_t len = DecodeUtf8(utf8, i, c);
    i += len == 0 ? 1 : len;
    if (len == 0) c = kReplacement;
    if (c >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size() * 3);
  for (size_t i = 0; i < utf16.size();) {
    const char32_t c = NextUtf16(utf16, i);
    AppendUtf8(IsSurrogate(c) ? kReplacement : c, out);
  }
  return out;
}

#ifdef _WIN32

std::wstring Utf8ToWide(std::string_view utf8) {
  const std::u16string text = Utf8ToUtf16(utf8);
  return std::wstring(text.begin(), text.end());
}

std::string WideToUtf8(std::wstring_view wide) {
  return Utf16ToUtf8(
      std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

#endif

}  // namespace vantry
