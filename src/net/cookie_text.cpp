#include "net/cookie_text.h"

#include "net/item_list.h"
#include "net/marker_text.h"
#include "text/find_text.h"
#include "text/split_text.h"
#include "text/substitute_text.h"
#include "text/text_slices.h"

namespace vantry {
namespace {

constexpr GbkView kCookieSeparator = "; "_gbk;

void DropTrailingSeparator(GbkText& text) {
  text.resize(text.size() - std::min(text.size(), kCookieSeparator.size()));
}

}  // namespace

GbkText CollectSetCookies(GbkView header_block) {
  GbkText result;
  for (const GbkText& line : SplitText(header_block, "\r\n"_gbk)) {
    if (TextBefore(line, ": "_gbk) != "Set-Cookie"_gbk) continue;
    // With attributes, the pair is what stands before the first ";".
    const GbkText value =
        FindText(line, ";"_gbk) > 0
            ? TextBetween(line, "Set-Cookie:"_gbk, ";"_gbk)
            : SubstituteText(line, "Set-Cookie:"_gbk, ""_gbk, 1, -1, false);
    result += TrimSpaces(value);
    result += kCookieSeparator;
  }
  DropTrailingSeparator(result);
  return result;
}

GbkText CookieName(GbkView item) {
  const int64_t p = FindText(item, "="_gbk);
  return TrimSpaces(p > 0 ? item.substr(0, static_cast<size_t>(p) - 1) : item);
}

bool HasCookieNamed(const std::vector<GbkText>& items, GbkView name) {
  for (const GbkText& item : items) {
    if (CookieName(item) == name) return true;
  }
  return false;
}

GbkText MergeCookies(GbkText& sent, GbkText& returned) {
  sent = RemoveAllSpaces(sent);
  returned = RemoveAllSpaces(returned);
  const std::vector<GbkText> old_items = SplitText(sent, ";"_gbk);
  std::vector<GbkText> new_items = SplitText(returned, ";"_gbk);
  for (const GbkText& item : old_items) {
    if (!HasCookieNamed(new_items, CookieName(item))) new_items.push_back(item);
  }
  GbkText merged;
  for (const GbkText& item : new_items) {
    if (Right(item, 8) == "=deleted"_gbk) continue;
    merged += item;
    merged += kCookieSeparator;
  }
  DropTrailingSeparator(merged);
  sent = RemoveDuplicateItems(merged, kCookieSeparator);
  return sent;
}

}  // namespace vantry
