#include "text/find_text.h"

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
  if (!ignore_case && !IsLeadByte(s[0])) {
    // An ASCII first byte lets memchr jump. A candidate c is on a boundary when the
    // byte before it is ASCII (it ends a character either way); after a run of lead
    // and trail bytes starting on a boundary s, c is on one when c - s is even. Each
    // byte is looked at a bounded number of times, so this stays one pass.
    size_t i = from;
    while (i <= last) {
      const void* hit = std::memchr(t + i, s[0], last - i + 1);
      if (hit == nullptr) return;
      const size_t c = static_cast<size_t>(static_cast<const unsigned char*>(hit) - t);
      bool boundary = true;
      if (c > i && IsLeadByte(t[c - 1])) {
        size_t run = c - 1;
        while (run > i && IsLeadByte(t[run - 1])) --run;
        boundary = (c - run) % 2 == 0;
      }
      if (boundary && std::memcmp(t + c + 1, s + 1, n - 1) == 0 && !on_match(c)) return;
      i = c + 1;
    }
    return;
  }
  if (!ignore_case) {
    const unsigned char first = s[0];
    for (size_t i = from; i <= last; i = NextBoundary(t, i)) {
      if (t[i] == first && std::memcmp(t + i + 1, s + 1, n - 1) == 0 && !on_match(i)) {
        return;
      }
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
