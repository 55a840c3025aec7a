// Taking a piece of text between markers, before a separator or after a colon.
#ifndef VANTRY_NET_MARKER_TEXT_H_
#define VANTRY_NET_MARKER_TEXT_H_

#include <string_view>

#include "text/gbk_text.h"

namespace vantry {

// "#引号" in GBK: written in a marker it stands for one double quote, so markers that
// contain quotes can be written without them.
const GbkText& QuoteToken();

// The text between the first `start_marker` found at or after `from` and the next
// `end_marker` after it; empty when either is missing. Every QuoteToken in the markers
// is replaced by a double quote first. Searches step over two-byte characters whole;
// `ignore_case` folds ASCII letters.
GbkText TextBetween(GbkView text, GbkView start_marker, GbkView end_marker, int from = 1,
                    bool ignore_case = false);

// The text left of the first `separator` found at or after `from` (below 1 counts as
// 1); empty when there is none.
GbkText TextBefore(GbkView text, GbkView separator, int from = 1,
                   bool ignore_case = false);

// Everything after the first ":", without leading and trailing spaces; empty when
// there is no ":".
GbkText ValueAfterColon(GbkView text);

}  // namespace vantry

#endif  // VANTRY_NET_MARKER_TEXT_H_
