// Cutting, trimming and joining GbkText.
#ifndef VANTRY_TEXT_TEXT_SLICES_H_
#define VANTRY_TEXT_TEXT_SLICES_H_

#include <cstdint>
#include <string_view>
#include <type_traits>

#include "text/gbk_text.h"

namespace vantry {

// The first min(n, length) bytes; n <= 0 gives the empty text. Cuts by count, so it
// may split a two-byte character.
GbkText Left(GbkView text, int64_t n);
// The last min(n, length) bytes; n <= 0 gives the empty text.
GbkText Right(GbkView text, int64_t n);
// n bytes from the 1-based `start`, clipped at the end; a start outside 1..length or
// n <= 0 gives the empty text.
GbkText Middle(GbkView text, int64_t start, int64_t n);

// Without leading and trailing spaces: the ASCII space and the full-width space
// (A1 A1). TAB and line breaks are not spaces here.
GbkText TrimSpaces(GbkView text);
// Without any ASCII or full-width space.
GbkText RemoveAllSpaces(GbkView text);
// ASCII A-Z become a-z; two-byte characters are stepped over untouched.
GbkText ToLowerAscii(GbkView text);

// The bytes before the first NUL (all of them when there is none): how raw bytes
// become a GbkText.
GbkText TextUpToNul(std::string_view bytes);

// Joins any number of texts in argument order.
template <typename... Texts>
requires(std::is_convertible_v<const Texts&, GbkView>&&...) GbkText
    ConcatTexts(const Texts&... texts) {
  GbkText out;
  out.reserve((GbkView(texts).size() + ... + 0));
  (out.append(GbkView(texts)), ...);
  return out;
}

}  // namespace vantry

#endif  // VANTRY_TEXT_TEXT_SLICES_H_
