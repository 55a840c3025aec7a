#include "net/cookie_text.h"

#include "net/item_list.h"
#include "net/marker_text.h"
#include "text/find_text.h"
#include "text/split_text.h"
#include "text/substitute_text.h"
#include "text/text_slices.h"

namespace vantry {
namespace {

constexpr std::string_view kCookieSeparator = "; ";

void DropTrailingSeparator(GbkText& text) {
  text.resize(text.size() - std::min(text.size(), kCookieSeparator.size()));
}

}  // namespace

GbkText CollectSetCookies(std::string_view header_block) {
  GbkText result;
  for (const GbkText& line : SplitText(header_block, "\r\n")) {
    if (TextBefore(line, ": ") != "Set-Cookie") continue;
    // With attributes, the pair is what stands before the first ";".
    const GbkText value = FindText(line, ";") > 0
                              ? TextBetween(line, "Set-Cookie:", ";")
                              : SubstituteText(line, "Set-Cookie:", "", 1, -1, false);
    result += TrimSpaces(value);
    result += kCookieSeparator;
  }
  DropTrailingSeparator(result);
  return result;
}

GbkText CookieName(std::string_view item) {
  const int64_t p = FindText(item, "=");
  return TrimSpaces(p > 0 ? item.substr(0, static_cast<size_t>(p) - 1) : item);
}

bool HasCookieNamed(const std::vector<GbkText>& items, std::string_view name) {
  for (const GbkText& item : items) {
    if (CookieName(item) == name) return true;
  }
  return false;
}

GbkText MergeCookies(GbkText& sent, GbkText& returned) {
  sent = RemoveAllSpaces(sent);
  returned = RemoveAllSpaces(returned);
  const std::vector<GbkText> old_items = SplitText(sent, ";");
  std::vector<GbkText> new_items = SplitText(returned, ";");
  for (const GbkText& item : old_items) {
    if (!HasCookieNamed(new_items, CookieName(item))) new_items.push_back(item);
  }
  GbkText merged;
  for (const GbkText& item : new_items) {
    if (Right(item, 8) == "=deleted") continue;
    merged += item;
    merged += kCookieSeparator;
  }
  DropTrailingSeparator(merged);
  sent = RemoveDuplicateItems(merged, kCookieSeparator);
  return sent;
}

}  // namespace vantry
