#include "text/split_text.h"

#include "text/find_text.h"

namespace vantry {

std::vector<GbkText> SplitText(GbkView text, GbkView separator, int maximum) {
  std::vector<GbkText> pieces;
  if (text.empty()) return pieces;
  if (separator.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }
  const auto full = [&] {
    return maximum > 0 && pieces.size() >= static_cast<size_t>(maximum);
  };
  const TextFinder finder(separator);
  size_t begin = 0;
  while (!full()) {
    const int64_t found = finder.Find(text, static_cast<int64_t>(begin) + 1);
    if (found < 0) break;
    const size_t at = static_cast<size_t>(found) - 1;
    pieces.emplace_back(text.substr(begin, at - begin));
    begin = at + separator.size();
  }
  if (!full() && begin < text.size()) pieces.emplace_back(text.substr(begin));
  return pieces;
}

}  // namespace vantry
