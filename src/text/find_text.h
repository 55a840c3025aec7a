// Searching GbkText on character boundaries.
#ifndef VANTRY_TEXT_FIND_TEXT_H_
#define VANTRY_TEXT_FIND_TEXT_H_

#include <cstdint>
#include <string_view>

#include "text/byte_search.h"
#include "text/gbk_text.h"

namespace vantry {

// Returns the 1-based position of the first occurrence of `sought` that begins at or
// after `start`, or -1. The scan steps over two-byte characters whole, counted from
// `start`, so a match always begins on a character boundary. A start below 1 counts as
// 1; a start beyond the end finds nothing. An empty `sought` gives `start` when the
// searched range is not empty and -1 when it is. With `ignore_case`, ASCII letters are
// folded byte by byte (every byte, also the second byte of a two-byte character).
// Positions are 64-bit: texts may be longer than 2 GiB. Linear in the text and
// `sought` whatever their bytes; no allocation.
int64_t FindText(GbkView text, GbkView sought, int64_t start = 1,
                 bool ignore_case = false);

// Returns the position of the last occurrence of `sought`, found by the same forward
// scan from the first byte. With `end` > 0 only occurrences lying wholly within the
// first end - 1 bytes count. Otherwise as FindText.
int64_t FindTextBackward(GbkView text, GbkView sought, int64_t end = 0,
                         bool ignore_case = false);

// A sought text prepared once for many searches by the rules of FindText: the
// tagged-field scan and the occurrence counts look for the same text again and again.
// `sought` must outlive the finder.
class TextFinder {
 public:
  explicit TextFinder(GbkView sought, bool ignore_case = false);

  // FindText(text, sought, start, ignore_case).
  int64_t Find(GbkView text, int64_t start = 1) const;
  // FindTextBackward(text, sought, end, ignore_case).
  int64_t FindBackward(GbkView text, int64_t end = 0) const;

 private:
  GbkView sought_;
  BytePattern pattern_;
};

}  // namespace vantry

#endif  // VANTRY_TEXT_FIND_TEXT_H_
