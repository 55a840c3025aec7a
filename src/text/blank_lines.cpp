#include "text/blank_lines.h"

#include <cstring>
#include <string_view>

namespace vantry {
namespace {

constexpr GbkView kLineBreak = "\r\n"_gbk;

void TrimOneLineBreakAtEachEnd(GbkText& text) {
  if (text.starts_with(kLineBreak)) text.erase(0, kLineBreak.size());
  if (text.ends_with(kLineBreak)) {
    text.resize(text.size() - kLineBreak.size());
  }
}

// The white space of the pattern's "\s": TAB, LF, VT, FF, CR and space. Every such
// byte stands for itself in GBK text, valid or not: no two-byte character ends in one,
// and a lead byte before one is read on its own.
constexpr bool IsWhite(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The end of the match that starts at the line feed `lf`, one past its last byte, or
// 0 when none starts there; `*run_end` receives the end of the white space after it.
// A match runs over white space to the last carriage return it can reach, as the
// greedy "\n\s*\r" does.
size_t MatchEnd(std::string_view text, size_t lf, size_t* run_end) {
  size_t end = 0;
  size_t i = lf + 1;
  for (; i < text.size() && IsWhite(static_cast<unsigned char>(text[i])); ++i) {
    if (text[i] == '\r') end = i + 1;
  }
  *run_end = i;
  return end;
}

}  // namespace

GbkText RemoveBlankLines(GbkText& text) {
  TrimOneLineBreakAtEachEnd(text);
  const std::string_view view = text.bytes();
  GbkText cleaned;
  size_t copied = 0;  // bytes of `view` already handed to `cleaned`
  size_t from = 0;
  while (from < view.size()) {
    const void* found = std::memchr(view.data() + from, '\n', view.size() - from);
    if (found == nullptr) break;
    const size_t lf = static_cast<size_t>(static_cast<const char*>(found) - view.data());
    size_t run_end = 0;
    const size_t end = MatchEnd(view, lf, &run_end);
    if (end == 0) {
      // No carriage return in the white space after this line feed, nor after any line
      // feed inside it: go on behind it.
      from = run_end;
      continue;
    }
    // Most reports hold no match at all: allocate only once one is found.
    if (cleaned.empty()) cleaned.reserve(view.size());
    cleaned.append(GbkView(view.substr(copied, lf - copied)));
    copied = end;
    from = end;
  }
  if (copied == 0) return text;
  cleaned.append(GbkView(view.substr(copied)));
  return cleaned;
}

}  // namespace vantry
