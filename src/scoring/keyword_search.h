// The text searches behind keyword scoring: alternatives, occurrences, positions.
#ifndef VANTRY_SCORING_KEYWORD_SEARCH_H_
#define VANTRY_SCORING_KEYWORD_SEARCH_H_

#include <cstdint>
#include <string_view>
#include <vector>

#include "text/find_text.h"
#include "text/gbk_text.h"

namespace vantry {

// Empties `pieces`, then fills it with the non-empty pieces of `text` cut at
// `separator` ("," when empty), in order. A positive `maximum` limits the cut itself
// to that many pieces before the empty ones are dropped. Returns the number of pieces.
int SplitNonEmpty(GbkView text, GbkView separator, std::vector<GbkText>& pieces,
                  int maximum = 0);

// Appends the non-empty pieces of `text` cut at `separator` (not empty) to `pieces`,
// as views into `text`, in order. SplitNonEmpty without copies and without a maximum.
void AppendNonEmptyPieces(GbkView text, GbkView separator, std::vector<GbkView>& pieces);

// The number of non-overlapping occurrences of `sought` in `text`, found on character
// boundaries; without `case_sensitive` ASCII letters are folded. 0 when either is empty.
int64_t CountOccurrences(GbkView text, GbkView sought, bool case_sensitive);

// Appends to `positions` the 1-based positions of every non-overlapping occurrence of
// `sought` in `text`, ignoring ASCII letter case, ascending: one per occurrence that
// CountOccurrences(text, sought, false) counts.
void FindAllPositions(GbkView text, GbkView sought, std::vector<int64_t>& positions);
// The same with the sought text prepared once: `folded` must be a finder of it that
// ignores case.
void FindAllPositions(GbkView text, GbkView sought, const TextFinder& folded,
                      std::vector<int64_t>& positions);

}  // namespace vantry

#endif  // VANTRY_SCORING_KEYWORD_SEARCH_H_
