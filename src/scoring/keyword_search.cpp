#include "scoring/keyword_search.h"

#include "text/find_text.h"

namespace vantry {
namespace {

// Calls `on_match(position)` for every non-overlapping occurrence, left to right.
template <typename OnMatch>
void ForEachOccurrence(std::string_view text, std::string_view sought, bool ignore_case,
                       OnMatch on_match) {
  if (text.empty() || sought.empty()) return;
  const auto step = static_cast<int64_t>(sought.size());
  const TextFinder finder(sought, ignore_case);
  for (int64_t p = finder.Find(text, 1); p > 0; p = finder.Find(text, p + step)) {
    on_match(p);
  }
}

}  // namespace

int SplitNonEmpty(std::string_view text, std::string_view separator,
                  std::vector<GbkText>& pieces, int maximum) {
  // The cut of SplitText, keeping only the non-empty pieces; done here directly so
  // that no list of all pieces is built for every keyword group scored.
  pieces.clear();
  if (separator.empty()) separator = ",";
  int cut = 0;  // pieces cut so far, empty ones included
  const auto full = [&] { return maximum > 0 && cut >= maximum; };
  const auto keep = [&](std::string_view piece) {
    ++cut;
    if (!piece.empty()) pieces.emplace_back(piece);
  };
  const TextFinder finder(separator);
  size_t begin = 0;
  while (!text.empty() && !full()) {
    const int64_t found = finder.Find(text, static_cast<int64_t>(begin) + 1);
    if (found < 0) break;
    const size_t at = static_cast<size_t>(found) - 1;
    keep(text.substr(begin, at - begin));
    begin = at + separator.size();
  }
  if (!full() && begin < text.size()) keep(text.substr(begin));
  return static_cast<int>(pieces.size());
}

int64_t CountOccurrences(std::string_view text, std::string_view sought,
                         bool case_sensitive) {
  int64_t count = 0;
  ForEachOccurrence(text, sought, !case_sensitive, [&](int64_t) { ++count; });
  return count;
}

void FindAllPositions(std::string_view text, std::string_view sought,
                      std::vector<int64_t>& positions) {
  // Counting and positioning are the same ignore-case scan, so one pass gives exactly
  // the positions of the occurrences a count would find.
  ForEachOccurrence(text, sought, true, [&](int64_t p) { positions.push_back(p); });
}

}  // namespace vantry
