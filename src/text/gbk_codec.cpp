#include "text/gbk_codec.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace vantry {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char16_t kNone = 0;

// The code page's two-byte characters in both directions, built once from the
// system's converter. Every byte of 0x80 or more starts a two-byte character, as the
// text operations read it, so the euro sign that Windows puts at the single byte 0x80
// counts as invalid here: a text is valid exactly when every search sees the same
// characters the codec does. Only pairs that survive
// the round trip are kept as "exact", so that the escape mode is lossless even where
// the code page maps two byte pairs to one character.
class CodePage936 {
 public:
  static const CodePage936& Get() {
    static const CodePage936 table;
    return table;
  }

  // The character of the pair (lead, trail), or 0.
  char16_t Pair(unsigned char lead, unsigned char trail) const {
    return pairs_[Index(lead, trail)];
  }
  bool PairIsExact(unsigned char lead, unsigned char trail) const {
    const char16_t c = Pair(lead, trail);
    return c != kNone && reverse_[c] == ((lead << 8) | trail);
  }
  // The encoding of a BMP character: 0 when missing, < 0x80 for ASCII.
  uint16_t Encode(char16_t c) const { return reverse_[c]; }

 private:
  static size_t Index(unsigned char lead, unsigned char trail) {
    return static_cast<size_t>(lead - 0x80) * 256 + trail;
  }

  CodePage936() : pairs_(128 * 256, kNone), reverse_(0x10000, 0) {
    for (unsigned c = 0; c < 0x80; ++c) reverse_[c] = static_cast<uint16_t>(c);
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
      for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
        if (trail == 0x7F) continue;
        const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        const char16_t c = DecodeOne(bytes, 2);
        if (c == kNone) continue;
        pairs_[Index(static_cast<unsigned char>(lead),
                     static_cast<unsigned char>(trail))] = c;
        if (reverse_[c] == 0) reverse_[c] = static_cast<uint16_t>((lead << 8) | trail);
      }
    }
  }

#ifdef _WIN32
  static char16_t DecodeOne(const char* bytes, int n) {
    wchar_t out[2] = {0, 0};
    const int k = MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes, n, out, 2);
    return k == 1 ? static_cast<char16_t>(out[0]) : kNone;
  }
#else
  static char16_t DecodeOne(const char* bytes, size_t n) {
    static const std::unique_ptr<void, int (*)(iconv_t)> converter(
        [] {
          iconv_t cd = iconv_open("UTF-16LE", "CP936");
          if (cd == reinterpret_cast<iconv_t>(-1)) cd = iconv_open("UTF-16LE", "GBK");
          return cd;
        }(),
        [](iconv_t cd) {
          return cd == reinterpret_cast<iconv_t>(-1) ? 0 : iconv_close(cd);
        });
    iconv_t cd = converter.get();
    if (cd == reinterpret_cast<iconv_t>(-1)) return kNone;
    char in[2] = {bytes[0], n > 1 ? bytes[1] : '\0'};
    char out[8];
    char* in_ptr = in;
    char* out_ptr = out;
    size_t in_left = n;
    size_t out_left = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<size_t>(-1) ||
        in_left != 0 || sizeof out - out_left != 2) {
      return kNone;
    }
    const auto lo = static_cast<unsigned char>(out[0]);
    const auto hi = static_cast<unsigned char>(out[1]);
    const char16_t c = static_cast<char16_t>(lo | (hi << 8));
    return (c >= 0xD800 && c <= 0xDFFF) ? kNone : c;
  }
#endif

  std::vector<char16_t> pairs_;
  std::vector<uint16_t> reverse_;
};

// Decodes `gbk` and hands each code point to `emit`.
template <typename Emit>
void Decode(std::string_view gbk, InvalidGbk invalid, Emit emit) {
  const CodePage936& table = CodePage936::Get();
  const auto bad = [&](unsigned char byte) {
    emit(invalid == InvalidGbk::kEscape ? kEscapeBase + byte : kReplacement);
  };
  for (size_t i = 0; i < gbk.size();) {
    const auto c = static_cast<unsigned char>(gbk[i]);
    if (c < 0x80) {
      emit(c);
      ++i;
      continue;
    }
    if (i + 1 < gbk.size()) {
      const auto t = static_cast<unsigned char>(gbk[i + 1]);
      const bool usable = invalid == InvalidGbk::kEscape ? table.PairIsExact(c, t)
                                                         : table.Pair(c, t) != kNone;
      if (usable) {
        emit(table.Pair(c, t));
        i += 2;
        continue;
      }
    }
    bad(c);
    ++i;
  }
}

// Encodes one code point to `out`.
void EncodeOne(char32_t c, GbkText& out) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
    return;
  }
  if (c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF) {
    out.push_back(static_cast<char>(c - kEscapeBase));
    return;
  }
  const uint16_t code =
      c < 0x10000 ? CodePage936::Get().Encode(static_cast<char16_t>(c)) : 0;
  if (code == 0) {
    out.push_back('?');
  } else if (code < 0x100) {
    out.push_back(static_cast<char>(code));
  } else {
    out.push_back(static_cast<char>(code >> 8));
    out.push_back(static_cast<char>(code & 0xFF));
  }
}

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

}  // namespace

std::u32string GbkToUtf32(std::string_view gbk, InvalidGbk invalid) {
  std::u32string out;
  out.reserve(gbk.size());
  Decode(gbk, invalid, [&](char32_t c) { out.push_back(c); });
  return out;
}

std::u16string GbkToUtf16(std::string_view gbk, InvalidGbk invalid) {
  std::u16string out;
  out.reserve(gbk.size());
  Decode(gbk, invalid, [&](char32_t c) { out.push_back(static_cast<char16_t>(c)); });
  return out;
}

std::string GbkToUtf8(std::string_view gbk) {
  std::string out;
  out.reserve(gbk.size() + gbk.size() / 2);
  Decode(gbk, InvalidGbk::kReplace, [&](char32_t c) { AppendUtf8(c, out); });
  return out;
}

GbkText Utf32ToGbk(std::u32string_view text) {
  GbkText out;
  out.reserve(text.size() * 2);
  for (char32_t c : text) EncodeOne(c, out);
  return out;
}

GbkText Utf16ToGbk(std::u16string_view text) {
  GbkText out;
  out.reserve(text.size() * 2);
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    EncodeOne(c, out);
  }
  return out;
}

GbkText Utf8ToGbk(std::string_view utf8) {
  GbkText out;
  out.reserve(utf8.size());
  const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
  const size_t n = utf8.size();
  for (size_t i = 0; i < n;) {
    const unsigned char c = s[i];
    size_t len = c < 0x80           ? 1
                 : (c >> 5) == 0x6  ? 2
                 : (c >> 4) == 0xE  ? 3
                 : (c >> 3) == 0x1E ? 4
                                    : 0;
    char32_t cp = len == 1   ? c
                  : len == 2 ? (c & 0x1F)
                  : len == 3 ? (c & 0x0F)
                             : (c & 0x07);
    bool ok = len != 0 && i + len <= n;
    for (size_t k = 1; ok && k < len; ++k) {
      ok = (s[i + k] & 0xC0) == 0x80;
      cp = (cp << 6) | (s[i + k] & 0x3F);
    }
    static constexpr char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
    ok = ok && cp >= kMin[len] && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
    if (!ok) {
      out.push_back('?');
      ++i;
      continue;
    }
    EncodeOne(cp, out);
    i += len;
  }
  return out;
}

bool IsValidGbk(std::string_view gbk) {
  bool valid = true;
  Decode(gbk, InvalidGbk::kEscape, [&](char32_t c) {
    if (c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF) valid = false;
  });
  return valid;
}

}  // namespace vantry
