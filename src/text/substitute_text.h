// Replacing occurrences of one text by another.
#ifndef VANTRY_TEXT_SUBSTITUTE_TEXT_H_
#define VANTRY_TEXT_SUBSTITUTE_TEXT_H_

#include <cstdint>
#include <string_view>

#include "text/gbk_text.h"

namespace vantry {

// Returns `text` with occurrences of `sought` replaced by `replacement`, scanned left to
// right from `start` (below 1 counts as 1) on character boundaries, without overlap, at
// most `count` of them (a negative count means all). `case_sensitive` false folds ASCII
// letters. An empty text or an empty `sought` gives the text unchanged. Positions and
// counts are 64-bit: texts may be longer than 2 GiB.
GbkText SubstituteText(GbkView text, GbkView sought, GbkView replacement = {},
                       int64_t start = 1, int64_t count = -1, bool case_sensitive = true);

}  // namespace vantry

#endif  // VANTRY_TEXT_SUBSTITUTE_TEXT_H_
