#include "text/find_text.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define VANTRY_FIND_TEXT_SSE2 1
#endif

#include "text/byte_search.h"
#include "text/gbk_text.h"

namespace vantry {
namespace {

bool HasAsciiLetter(std::string_view s) {
  for (unsigned char c : s) {
    if (static_cast<unsigned char>((c | 0x20) - 'a') < 26) return true;
  }
  return false;
}

// The start of the run of bytes of 0x80 or more that ends at `end`, going back no
// further than `floor`: the byte before it (when above `floor`) is ASCII.
size_t StartOfHighRun(const unsigned char* t, size_t floor, size_t end) {
  size_t run = end;
#ifdef VANTRY_FIND_TEXT_SSE2
  // Sixteen bytes at a time: the high bits of the block tell where its last ASCII
  // byte stands.
  while (run - floor >= 16) {
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + run - 16))));
    if (mask != 0xFFFF) {
      return run - static_cast<size_t>(std::countl_one(mask << 16));
    }
    run -= 16;
  }
#else
  // Eight bytes at a time while all of them are 0x80 or more (long Chinese runs).
  constexpr uint64_t kHighBits = 0x8080808080808080ull;
  while (run - floor >= 8) {
    uint64_t word;
    std::memcpy(&word, t + run - 8, 8);
    if ((word & kHighBits) != kHighBits) break;
    run -= 8;
  }
#endif
  while (run > floor && IsLeadByte(t[run - 1])) --run;
  return run;
}

// Folding can only make a byte equal to a lowercase letter, so a sought text without
// letters matches exactly where it matches folded: it takes the exact search.
bool Folds(std::string_view sought, bool ignore_case) {
  return ignore_case && HasAsciiLetter(sought);
}

// Scans [from, limit_end) for `pattern` (not empty) on character boundaries counted
// from `from`. Calls `on_match(index)` for each match; stops when it returns false.
template <typename OnMatch>
void Scan(GbkView text, const BytePattern& pattern, size_t from, size_t limit_end,
          OnMatch on_match) {
  if (limit_end < pattern.size() || from > limit_end - pattern.size()) return;
  const auto* t = reinterpret_cast<const unsigned char*>(text.data());
  // Byte matches come in order; each is then checked for lying on a character boundary
  // counted from `from`. Going back from a candidate c over bytes of 0x80 or more to
  // the nearest ASCII byte (which always ends a character) or to a known boundary, c
  // is on a boundary when that run has even length. The known boundary moves forward
  // with every candidate, so no byte is walked twice.
  ByteMatches matches(text.bytes().substr(0, limit_end), pattern, from);
  size_t anchor = from;  // a character boundary at or before the next candidate
  for (size_t c = matches.Next(); c != ByteMatches::npos; c = matches.Next()) {
    const size_t run = StartOfHighRun(t, anchor, c);
    if ((c - run) % 2 == 0) {
      if (!on_match(c)) return;
      anchor = c;
    } else {
      anchor = c - 1;  // c is a trail byte, so the byte before starts a character
    }
  }
}

}  // namespace

TextFinder::TextFinder(GbkView sought, bool ignore_case)
    : sought_(sought), pattern_(sought.bytes(), Folds(sought.bytes(), ignore_case)) {}

int64_t TextFinder::Find(GbkView text, int64_t start) const {
  if (start < 1) start = 1;
  if (static_cast<uint64_t>(start) > text.size()) return -1;
  if (sought_.empty()) return start;
  int64_t found = -1;
  Scan(text, pattern_, static_cast<size_t>(start) - 1, text.size(), [&](size_t i) {
    found = static_cast<int64_t>(i) + 1;
    return false;
  });
  return found;
}

int64_t TextFinder::FindBackward(GbkView text, int64_t end) const {
  size_t limit = text.size();
  if (end > 0 && static_cast<uint64_t>(end) - 1 < limit) {
    limit = static_cast<size_t>(end) - 1;
  }
  if (limit == 0) return -1;
  if (sought_.empty()) return 1;
  int64_t found = -1;
  Scan(text, pattern_, 0, limit, [&](size_t i) {
    found = static_cast<int64_t>(i) + 1;
    return true;
  });
  return found;
}

int64_t FindText(GbkView text, GbkView sought, int64_t start, bool ignore_case) {
  // Nothing to prepare when the range is empty.
  if (start >= 1 && static_cast<uint64_t>(start) > text.size()) return -1;
  return TextFinder(sought, ignore_case).Find(text, start);
}

int64_t FindTextBackward(GbkView text, GbkView sought, int64_t end, bool ignore_case) {
  return TextFinder(sought, ignore_case).FindBackward(text, end);
}

}  // namespace vantry
