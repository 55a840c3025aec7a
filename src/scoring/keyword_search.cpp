#include "scoring/keyword_search.h"

#include "text/find_text.h"

namespace vantry {
namespace {

// Calls `on_match(position)` for every non-overlapping occurrence, left to right.
template <typename OnMatch>
void ForEachOccurrence(std::string_view text, std::string_view sought, bool ignore_case,
                       OnMatch on_match) {
  if (text.empty() || sought.empty()) return;
  const int step = static_cast<int>(sought.size());
  for (int p = FindText(text, sought, 1, ignore_case); p > 0;
       p = FindText(text, sought, p + step, ignore_case)) {
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
  size_t begin = 0;
  while (!text.empty() && !full()) {
    const int found = FindText(text, separator, static_cast<int>(begin) + 1);
    if (found < 0) break;
    const size_t at = static_cast<size_t>(found) - 1;
    keep(text.substr(begin, at - begin));
    begin = at + separator.size();
  }
  if (!full() && begin < text.size()) keep(text.substr(begin));
  return static_cast<int>(pieces.size());
}

int CountOccurrences(std::string_view text, std::string_view sought,
                     bool case_sensitive) {
  int count = 0;
  ForEachOccurrence(text, sought, !case_sensitive, [&](int) { ++count; });
  return count;
}

void FindAllPositions(std::string_view text, std::string_view sought,
                      std::vector<int32_t>& positions) {
  // Counting and positioning are the same ignore-case scan, so one pass gives exactly
  // the positions of the occurrences a count would find.
  ForEachOccurrence(text, sought, true, [&](int p) { positions.push_back(p); });
}

}  // namespace vantry
