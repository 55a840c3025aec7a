// UTF-8 encoding and decoding, and conversion to and from UTF-16.
#ifndef VANTRY_PLATFORM_UTF8_TEXT_H_
#define VANTRY_PLATFORM_UTF8_TEXT_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace vantry {

// Appends the UTF-8 form of code point `c` (at most U+10FFFF) to `out`.
void AppendUtf8(char32_t c, std::string& out);

// Decodes the UTF-8 sequence that starts at text[at]: its length, with the code point
// in `c`, or 0 when the sequence is malformed (cut off, overlong, a surrogate, beyond
// U+10FFFF).
size_t DecodeUtf8(std::string_view text, size_t at, char32_t& c);

// The code point of the UTF-16 unit or surrogate pair at text[at], moving `at` past
// it. A lone surrogate comes back as it is.
char32_t NextUtf16(std::u16string_view text, size_t& at);

// Conversions for the wide-character APIs of Windows; malformed UTF-8 bytes and lone
// surrogates become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

#ifdef _WIN32
// The same for wchar_t, which is a UTF-16 code unit on Windows.
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);
#endif

}  // namespace vantry

#endif  // VANTRY_PLATFORM_UTF8_TEXT_H_
