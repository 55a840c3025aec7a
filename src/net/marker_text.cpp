#include "net/marker_text.h"

#include "text/find_text.h"
#include "text/gbk_codec.h"
#include "text/substitute_text.h"
#include "text/text_slices.h"

namespace vantry {

const GbkText& QuoteToken() {
  static const GbkText token = Utf8ToGbk("#引号");
  return token;
}

GbkText TextBetween(GbkView text, GbkView start_marker, GbkView end_marker, int from,
                    bool ignore_case) {
  const GbkText start = SubstituteText(start_marker, QuoteToken(), "\""_gbk);
  const GbkText end = SubstituteText(end_marker, QuoteToken(), "\""_gbk);
  int64_t p = FindText(text, start, from, ignore_case);
  if (p < 1) return {};
  p += static_cast<int64_t>(start.size());
  const int64_t q = FindText(text, end, p, ignore_case);
  if (q < 1) return {};
  return Middle(text, p, q - p);
}

GbkText TextBefore(GbkView text, GbkView separator, int from, bool ignore_case) {
  const int64_t p = FindText(text, separator, from < 1 ? 1 : from, ignore_case);
  if (p < 1) return {};
  return Left(text, p - 1);
}

GbkText ValueAfterColon(GbkView text) {
  const int64_t p = FindText(text, ":"_gbk);
  if (p < 1) return {};
  return TrimSpaces(text.substr(static_cast<size_t>(p)));
}

}  // namespace vantry
