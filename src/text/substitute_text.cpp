#include "text/substitute_text.h"

#include "text/find_text.h"

namespace vantry {

GbkText SubstituteText(GbkView text, GbkView sought, GbkView replacement, int64_t start,
                       int64_t count, bool case_sensitive) {
  if (text.empty() || sought.empty() || count == 0) return GbkText(text);
  if (start < 1) start = 1;
  GbkText out;
  out.reserve(text.size());
  // Each search resumes behind the previous occurrence, which is a character boundary,
  // so searching with FindText matches the character-by-character scan exactly.
  size_t copied = 0;  // bytes of `text` already copied to `out`
  const TextFinder finder(sought, !case_sensitive);
  int64_t pos = start;
  int64_t done = 0;
  while (count < 0 || done < count) {
    const int64_t found = finder.Find(text, pos);
    if (found < 0) break;
    const size_t at = static_cast<size_t>(found) - 1;
    out.append(text.substr(copied, at - copied));
    out.append(replacement);
    copied = at + sought.size();
    pos = static_cast<int64_t>(copied) + 1;
    ++done;
  }
  out.append(text.substr(copied));
  return out;
}

}  // namespace vantry
