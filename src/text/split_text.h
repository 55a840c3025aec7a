// Cutting a text at a separator.
#ifndef VANTRY_TEXT_SPLIT_TEXT_H_
#define VANTRY_TEXT_SPLIT_TEXT_H_

#include <string_view>
#include <vector>

#include "text/gbk_text.h"

namespace vantry {

// Returns the pieces of `text` between occurrences of `separator`, found on character
// boundaries with exact case. An empty piece between two adjacent separators, or
// before a leading one, is an entry; an empty piece after a trailing separator is not.
// An empty text gives no entries; an empty separator gives the whole text as the only
// entry. A positive `maximum` stops after that many pieces.
std::vector<GbkText> SplitText(GbkView text, GbkView separator = ","_gbk,
                               int maximum = 0);

}  // namespace vantry

#endif  // VANTRY_TEXT_SPLIT_TEXT_H_
