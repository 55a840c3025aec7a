#include "text/find_text.h"

#include <cstdint>
#include <cstring>

#include "text/gbk_text.h"

namespace vantry {
namespace {

constexpr unsigned char FoldAscii(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

bool EqualFolded(const unsigned char* a, const unsigned char* b, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

constexpr uint64_t kHighBits = 0x8080808080808080ull;

bool HasAsciiLetter(std::string_view s) {
  for (unsigned char c : s) {
    if (FoldAscii(c) >= 'a' && FoldAscii(c) <= 'z') return true;
  }
  return false;
}

// The first byte match of `sought` (not empty) in `text` at or after `from`, or npos.
// memchr finds the first byte; the second is compared inline before the rest, since in
// GBK text the lead byte of a sought character recurs often on its own.
size_t FindBytes(std::string_view text, std::string_view sought, size_t from) {
  const size_t n = sought.size();
  if (from > text.size() || text.size() - from < n) return std::string_view::npos;
  const char* const data = text.data();
  const char* const last = data + (text.size() - n);  // the last possible start
  const char* p = data + from;
  while (p <= last) {
    p = static_cast<const char*>(
        std::memchr(p, sought[0], static_cast<size_t>(last - p) + 1));
    if (p == nullptr) break;
    if (n == 1 ||
        (p[1] == sought[1] && std::memcmp(p + 2, sought.data() + 2, n - 2) == 0)) {
      return static_cast<size_t>(p - data);
    }
    ++p;
  }
  return std::string_view::npos;
}

// Advances from a character boundary to the next one.
inline size_t NextBoundary(const unsigned char* t, size_t i) {
  return i + (IsLeadByte(t[i]) ? 2 : 1);
}

// Scans [from, limit_end) for `sought` on character boundaries counted from `from`.
// Calls `on_match(index)` for each match; stops when it returns false.
template <typename OnMatch>
void Scan(std::string_view text, std::string_view sought, size_t from, size_t limit_end,
          bool ignore_case, OnMatch on_match) {
  const auto* t = reinterpret_cast<const unsigned char*>(text.data());
  const auto* s = reinterpret_cast<const unsigned char*>(sought.data());
  const size_t n = sought.size();
  if (limit_end < n) return;
  const size_t last = limit_end - n;  // last index where a match may begin
  // Folding can only make a byte equal to a lowercase letter, so a sought text without
  // letters matches exactly where it matches folded: take the fast exact search.
  if (ignore_case && !HasAsciiLetter(sought)) ignore_case = false;
  if (!ignore_case) {
    // Byte matches come from the library search; each is then checked for lying on a
    // character boundary counted from `from`. Going back from a candidate c over bytes
    // of 0x80 or more to the nearest ASCII byte (which always ends a character) or to
    // a known boundary, c is on a boundary when that run has even length. The known
    // boundary moves forward with every candidate, so no byte is walked twice.
    const std::string_view window = text.substr(0, limit_end);
    size_t anchor = from;  // a character boundary at or before the next candidate
    size_t i = from;
    while (i <= last) {
      const size_t c = FindBytes(window, sought, i);
      if (c == std::string_view::npos) return;
      size_t run = c;
      // Eight bytes at a time while all of them are 0x80 or more (long Chinese runs).
      while (run - anchor >= 8) {
        uint64_t word;
        std::memcpy(&word, t + run - 8, 8);
        if ((word & kHighBits) != kHighBits) break;
        run -= 8;
      }
      while (run > anchor && IsLeadByte(t[run - 1])) --run;
      if ((c - run) % 2 == 0) {
        if (!on_match(c)) return;
        anchor = c;
      } else {
        anchor = c - 1;  // c is a trail byte, so the byte before starts a character
      }
      i = c + 1;
    }
    return;
  }
  const unsigned char first = FoldAscii(s[0]);
  for (size_t i = from; i <= last; i = NextBoundary(t, i)) {
    if (FoldAscii(t[i]) == first && EqualFolded(t + i + 1, s + 1, n - 1)) {
      if (!on_match(i)) return;
    }
  }
}

}  // namespace

int FindText(std::string_view text, std::string_view sought, int start,
             bool ignore_case) {
  if (start < 1) start = 1;
  const size_t from = static_cast<size_t>(start) - 1;
  if (from >= text.size()) return -1;
  if (sought.empty()) return start;
  int found = -1;
  Scan(text, sought, from, text.size(), ignore_case, [&](size_t i) {
    found = static_cast<int>(i) + 1;
    return false;
  });
  return found;
}

int FindTextBackward(std::string_view text, std::string_view sought, int end,
                     bool ignore_case) {
  size_t limit = text.size();
  if (end > 0 && static_cast<size_t>(end) - 1 < limit)
    limit = static_cast<size_t>(end) - 1;
  if (limit == 0) return -1;
  if (sought.empty()) return 1;
  int found = -1;
  Scan(text, sought, 0, limit, ignore_case, [&](size_t i) {
    found = static_cast<int>(i) + 1;
    return true;
  });
  return found;
}

}  // namespace vantry
