#include "scoring/keyword_search.h"

#include "text/find_text.h"
#include "text/split_text.h"

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
  pieces.clear();
  for (GbkText& piece : SplitText(text, separator.empty() ? "," : separator, maximum)) {
    if (!piece.empty()) pieces.push_back(std::move(piece));
  }
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
