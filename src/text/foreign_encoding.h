// Recognising files saved in an encoding other than GBK, and reading them as GBK.
#ifndef VANTRY_TEXT_FOREIGN_ENCODING_H_
#define VANTRY_TEXT_FOREIGN_ENCODING_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "text/gbk_text.h"

namespace vantry {

enum class ForeignEncoding { kNone, kUtf8, kUtf16 };

// What a file's bytes are when they are not GBK, judged on the whole file so that the
// answer never depends on where a sample would end: UTF-16 when they start with a
// UTF-16 byte-order mark or at least one byte in 20 is NUL; UTF-8 when they are all
// well-formed UTF-8 and either start with the UTF-8 byte-order mark or hold a byte
// above 0x7F. kNone otherwise: GBK, plain ASCII, empty, and a
// UTF-8 byte-order mark followed by text that is not UTF-8 (GBK with a stray mark).
[[nodiscard]] ForeignEncoding DetectForeignEncoding(std::string_view bytes);

// A character of a UTF-8 file that code page 936 has no bytes for.
struct CharacterOutsideGbk {
  // The 1-based line it stands on, and its 1-based place among the line's characters.
  int64_t line = 0;
  int64_t column = 0;
  // The character, in UTF-8.
  std::string character;
  // Its code point.
  char32_t code_point = 0;
};

// "U+4E2D": how a character is named when it cannot be shown.
[[nodiscard]] std::string CodePointText(char32_t code_point);

// A file's bytes read as a GbkText.
struct GbkReading {
  // What the bytes were: kNone for GBK (or ASCII), kUtf8 when they were converted.
  ForeignEncoding encoding = ForeignEncoding::kNone;
  // The text as GBK: the bytes as they are with a stray UTF-8 byte-order mark left
  // out, or the UTF-8 text (its mark left out) converted character by character; NULs
  // stay. Empty when the file cannot be read as GBK (UTF-16, or outside_gbk).
  GbkText text;
  // The first character of a UTF-8 file that GBK cannot hold: the file is not read.
  std::optional<CharacterOutsideGbk> outside_gbk = std::nullopt;

  // True when `text` is the file's text.
  [[nodiscard]] bool readable() const {
    return encoding != ForeignEncoding::kUtf16 && !outside_gbk;
  }
};

// Reads a file's `bytes` as GBK text: a UTF-8 file (DetectForeignEncoding) becomes the
// GBK file with the same characters, so that it reads exactly as that file would.
// Converts in place: a large file is never held twice.
[[nodiscard]] GbkReading ReadAsGbk(std::string bytes);

}  // namespace vantry

#endif  // VANTRY_TEXT_FOREIGN_ENCODING_H_
