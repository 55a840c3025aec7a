#include "net/marker_text.h"

#include "text/find_text.h"
#include "text/text_slices.h"

namespace vantry {

GbkText TextBetween(std::string_view text, std::string_view start_marker,
                    std::string_view end_marker) {
  int64_t p = FindText(text, start_marker);
  if (p < 1) return {};
  p += static_cast<int64_t>(start_marker.size());
  const int64_t q = FindText(text, end_marker, p);
  if (q < 1) return {};
  return Middle(text, p, q - p);
}

}  // namespace vantry
