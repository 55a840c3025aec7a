// Converting GbkText to and from Unicode.
#ifndef VANTRY_TEXT_GBK_CODEC_H_
#define VANTRY_TEXT_GBK_CODEC_H_

#include <string>
#include <string_view>

#include "text/gbk_text.h"

namespace vantry {

// What becomes of bytes that are not valid code page 936.
enum class InvalidGbk {
  // U+FFFD, for the screen and the terminal.
  kReplace,
  // U+DC80..U+DCFF carrying the byte itself, so that the bytes come back unchanged on
  // the way back to GbkText (used on the way to the regex engine and to the widgets'
  // editable text).
  kEscape,
};

// The first code point of the escape range: byte b (>= 0x80) travels as kEscapeBase + b.
inline constexpr char32_t kEscapeBase = 0xDC00;

std::u32string GbkToUtf32(GbkView gbk, InvalidGbk invalid = InvalidGbk::kReplace);
std::u16string GbkToUtf16(GbkView gbk, InvalidGbk invalid = InvalidGbk::kReplace);
// Valid UTF-8; invalid bytes always become U+FFFD.
std::string GbkToUtf8(GbkView gbk);

// Escaped code points become their bytes again; characters that code page 936 lacks
// become "?". Lone surrogates in UTF-16 outside the escape range also become "?".
GbkText Utf32ToGbk(std::u32string_view text);
GbkText Utf16ToGbk(std::u16string_view text);
// Malformed UTF-8 sequences become "?".
GbkText Utf8ToGbk(std::string_view utf8);

// Writes the GBK bytes of `c` to `out`: returns 1 for ASCII, 2 for the code page's
// other characters, 0 (nothing written) for a character it lacks.
int EncodeGbkCharacter(char32_t c, char out[2]);

// True when every byte of `gbk` is part of a valid code page 936 character.
bool IsValidGbk(GbkView gbk);

}  // namespace vantry

#endif  // VANTRY_TEXT_GBK_CODEC_H_
