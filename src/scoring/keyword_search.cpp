#include "scoring/keyword_search.h"

#include "text/find_text.h"

namespace vantry {
namespace {

// Calls `on_match(position)` for every non-overlapping occurrence, left to right.
template <typename OnMatch>
void ForEachOccurrence(GbkView text, GbkView sought, const TextFinder& finder,
                       OnMatch on_match) {
  if (text.empty() || sought.empty()) return;
  const auto step = static_cast<int64_t>(sought.size());
  for (int64_t p = finder.Find(text, 1); p > 0; p = finder.Find(text, p + step)) {
    on_match(p);
  }
}

template <typename OnMatch>
void ForEachOccurrence(GbkView text, GbkView sought, bool ignore_case, OnMatch on_match) {
  if (text.empty() || sought.empty()) return;
  ForEachOccurrence(text, sought, TextFinder(sought, ignore_case), on_match);
}

// Cuts `text` at `separator` as SplitText does (an empty last piece after a trailing
// separator is not a piece) and hands each piece to `keep`, which returns false to stop.
template <typename Keep>
void CutAt(GbkView text, GbkView separator, Keep keep) {
  const TextFinder finder(separator);
  size_t begin = 0;
  while (!text.empty()) {
    const int64_t found = finder.Find(text, static_cast<int64_t>(begin) + 1);
    if (found < 0) break;
    const size_t at = static_cast<size_t>(found) - 1;
    if (!keep(text.substr(begin, at - begin))) return;
    begin = at + separator.size();
  }
  if (begin < text.size()) keep(text.substr(begin));
}

}  // namespace

int SplitNonEmpty(GbkView text, GbkView separator, std::vector<GbkText>& pieces,
                  int maximum) {
  pieces.clear();
  if (separator.empty()) separator = ","_gbk;
  int cut = 0;  // pieces cut so far, empty ones included
  CutAt(text, separator, [&](GbkView piece) {
    if (!piece.empty()) pieces.emplace_back(piece);
    return !(maximum > 0 && ++cut >= maximum);
  });
  return static_cast<int>(pieces.size());
}

void AppendNonEmptyPieces(GbkView text, GbkView separator, std::vector<GbkView>& pieces) {
  CutAt(text, separator, [&](GbkView piece) {
    if (!piece.empty()) pieces.push_back(piece);
    return true;
  });
}

int64_t CountOccurrences(GbkView text, GbkView sought, bool case_sensitive) {
  int64_t count = 0;
  ForEachOccurrence(text, sought, !case_sensitive, [&](int64_t) { ++count; });
  return count;
}

void FindAllPositions(GbkView text, GbkView sought, std::vector<int64_t>& positions) {
  // Counting and positioning are the same ignore-case scan, so one pass gives exactly
  // the positions of the occurrences a count would find.
  ForEachOccurrence(text, sought, true, [&](int64_t p) { positions.push_back(p); });
}

void FindAllPositions(GbkView text, GbkView sought, const TextFinder& folded,
                      std::vector<int64_t>& positions) {
  ForEachOccurrence(text, sought, folded, [&](int64_t p) { positions.push_back(p); });
}

}  // namespace vantry
