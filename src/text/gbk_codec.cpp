#include "text/gbk_codec.h"

#include <cstdint>
#include <vector>

#include "platform/utf8_text.h"
#include "text/cp936_table.h"

namespace vantry {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char16_t kNone = 0;

// The code page's two-byte characters in both directions: the pairs from the table
// generated at build time, the reverse direction built from it once. Every byte of
// 0x80 or more starts a two-byte character, as the text operations read it, so the
// euro sign that Windows puts at the single byte 0x80 counts as invalid here: a text
// is valid exactly when every search sees the same characters the codec does. Only
// pairs that survive the round trip are kept as "exact", so that the escape mode is
// lossless even where the code page maps two byte pairs to one character.
class CodePage936 {
 public:
  static const CodePage936& Get() {
    static const CodePage936 table;
    return table;
  }

  // The character of the pair (lead, trail), or 0.
  char16_t Pair(unsigned char lead, unsigned char trail) const {
    return Cp936Pair(lead, trail);
  }
  bool PairIsExact(unsigned char lead, unsigned char trail) const {
    const char16_t c = Pair(lead, trail);
    return c != kNone && reverse_[c] == ((lead << 8) | trail);
  }
  // The encoding of a BMP character: 0 when missing, < 0x80 for ASCII.
  uint16_t Encode(char16_t c) const { return reverse_[c]; }

 private:
  CodePage936() : reverse_(0x10000, 0) {
    for (unsigned c = 0; c < 0x80; ++c) reverse_[c] = static_cast<uint16_t>(c);
    // The first pair of a character is its encoding.
    for (unsigned lead = kCp936FirstLead; lead <= kCp936LastLead; ++lead) {
      for (unsigned trail = kCp936FirstTrail; trail <= kCp936LastTrail; ++trail) {
        const char16_t c = Cp936Pair(static_cast<unsigned char>(lead),
                                     static_cast<unsigned char>(trail));
        if (c != kNone && reverse_[c] == 0) {
          reverse_[c] = static_cast<uint16_t>((lead << 8) | trail);
        }
      }
    }
  }

  std::vector<uint16_t> reverse_;
};

// Decodes `gbk` and hands each code point to `emit`.
template <typename Emit>
void Decode(GbkView gbk, InvalidGbk invalid, Emit emit) {
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

}  // namespace

std::u32string GbkToUtf32(GbkView gbk, InvalidGbk invalid) {
  std::u32string out;
  out.reserve(gbk.size());
  Decode(gbk, invalid, [&](char32_t c) { out.push_back(c); });
  return out;
}

std::u16string GbkToUtf16(GbkView gbk, InvalidGbk invalid) {
  std::u16string out;
  out.reserve(gbk.size());
  Decode(gbk, invalid, [&](char32_t c) { out.push_back(static_cast<char16_t>(c)); });
  return out;
}

std::string GbkToUtf8(GbkView gbk) {
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
  for (size_t i = 0; i < text.size();) EncodeOne(NextUtf16(text, i), out);
  return out;
}

GbkText Utf8ToGbk(std::string_view utf8) {
  GbkText out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    char32_t c = 0;
    const size_t len = DecodeUtf8(utf8, i, c);
    if (len == 0) {
      out.push_back('?');
      ++i;
      continue;
    }
    EncodeOne(c, out);
    i += len;
  }
  return out;
}

int EncodeGbkCharacter(char32_t c, char out[2]) {
  if (c < 0x80) {
    out[0] = static_cast<char>(c);
    return 1;
  }
  const uint16_t code =
      c < 0x10000 ? CodePage936::Get().Encode(static_cast<char16_t>(c)) : 0;
  if (code < 0x100) return 0;
  out[0] = static_cast<char>(code >> 8);
  out[1] = static_cast<char>(code & 0xFF);
  return 2;
}

bool IsValidGbk(GbkView gbk) {
  bool valid = true;
  Decode(gbk, InvalidGbk::kEscape, [&](char32_t c) {
    if (c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF) valid = false;
  });
  return valid;
}

}  // namespace vantry
