// Taking a piece of text between markers.
#ifndef VANTRY_NET_MARKER_TEXT_H_
#define VANTRY_NET_MARKER_TEXT_H_

#include <string_view>

#include "text/gbk_text.h"

namespace vantry {

// The text between the first `start_marker` and the next `end_marker` after it, bytes
// as they are; empty when either is missing. Searches step over two-byte characters
// whole.
GbkText TextBetween(std::string_view text, std::string_view start_marker,
                    std::string_view end_marker);

}  // namespace vantry

#endif  // VANTRY_NET_MARKER_TEXT_H_
