// Lists of texts: finding an item and dropping repeated items.
#ifndef VANTRY_NET_ITEM_LIST_H_
#define VANTRY_NET_ITEM_LIST_H_

#include <string_view>
#include <vector>

#include "text/gbk_text.h"

namespace vantry {

// The 1-based index of the first item equal to `text` byte for byte, or -1.
int IndexOfText(const std::vector<GbkText>& items, GbkView text);

// `text` split at `separator`, each item kept only at its first occurrence, joined
// again by `separator`.
GbkText RemoveDuplicateItems(GbkView text, GbkView separator);

}  // namespace vantry

#endif  // VANTRY_NET_ITEM_LIST_H_
