#include "net/item_list.h"

#include "text/split_text.h"

namespace vantry {

int IndexOfText(const std::vector<GbkText>& items, GbkView text) {
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i] == text) return static_cast<int>(i) + 1;
  }
  return -1;
}

GbkText RemoveDuplicateItems(GbkView text, GbkView separator) {
  std::vector<GbkText> seen;
  GbkText result;
  for (GbkText& item : SplitText(text, separator)) {
    if (IndexOfText(seen, item) != -1) continue;
    result += item;
    result += separator;
    seen.push_back(std::move(item));
  }
  result.resize(result.size() - std::min(result.size(), separator.size()));
  return result;
}

}  // namespace vantry
