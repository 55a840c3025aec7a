// Searching GbkText on character boundaries.
#ifndef VANTRY_TEXT_FIND_TEXT_H_
#define VANTRY_TEXT_FIND_TEXT_H_

#include <string_view>

namespace vantry {

// Returns the 1-based position of the first occurrence of `sought` that begins at or
// after `start`, or -1. The scan steps over two-byte characters whole, counted from
// `start`, so a match always begins on a character boundary. A start below 1 counts as
// 1; a start beyond the end finds nothing. An empty `sought` gives `start` when the
// searched range is not empty and -1 when it is. With `ignore_case`, ASCII letters are
// folded byte by byte (every byte, also the second byte of a two-byte character).
// One pass from `start`; no allocation.
int FindText(std::string_view text, std::string_view sought, int start = 1,
             bool ignore_case = false);

// Returns the position of the last occurrence of `sought`, found by the same forward
// scan from the first byte. With `end` > 0 only occurrences lying wholly within the
// first end - 1 bytes count. Otherwise as FindText.
int FindTextBackward(std::string_view text, std::string_view sought, int end = 0,
                     bool ignore_case = false);

}  // namespace vantry

#endif  // VANTRY_TEXT_FIND_TEXT_H_
