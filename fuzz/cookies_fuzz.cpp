// Properties of the cookie and header text operations.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "fuzz_check.h"
#include "net/cookie_text.h"
#include "net/item_list.h"
#include "net/marker_text.h"
#include "net/request_headers.h"
#include "text/gbk_codec.h"
#include "text/split_text.h"

namespace {

using vantry::GbkText;
using vantry::GbkView;
using vantry::operator""_gbk;
using vantry::fuzz::Check;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  GbkText sent(input.ConsumeRandomLengthString(128));
  GbkText returned(input.ConsumeRandomLengthString(128));
  const bool valid = vantry::IsValidGbk(sent) && vantry::IsValidGbk(returned);
  const GbkText start(input.ConsumeRandomLengthString(8));
  const GbkText end(input.ConsumeRandomLengthString(8));
  const GbkText block(input.ConsumeRemainingBytesAsString());

  // MergeCookies: never a deleted cookie, no spaces, no repeated item, written back.
  const GbkText merged = vantry::MergeCookies(sent, returned);
  Check(merged == sent, "the sent cookies are overwritten with the result");
  std::set<GbkText> seen;
  for (size_t i = 0; valid && i < merged.size(); ++i) {
    // A lone lead byte may swallow a following space as its second byte, so this holds
    // for valid GBK input only.
    Check(merged[i] != ' ' || (i > 0 && merged[i - 1] == ';'),
          "spaces only in separators");
  }
  for (const GbkText& item : vantry::SplitText(merged, "; "_gbk)) {
    Check(!item.ends_with("=deleted"_gbk), "no deleted cookie survives the merge");
    Check(seen.insert(item).second, "no item twice");
  }

  // TextBetween gives a piece of the text or nothing.
  const GbkText between = vantry::TextBetween(block, start, end);
  Check(between.empty() || block.find(between) != GbkText::npos, "between lies in text");

  // At most one cookie per header line.
  const GbkText cookies = vantry::CollectSetCookies(block);
  Check(vantry::SplitText(cookies, "; "_gbk).size() <=
            vantry::SplitText(block, "\r\n"_gbk).size(),
        "at most one cookie per line");
  const GbkText once = vantry::RemoveDuplicateItems(block, "\r\n"_gbk);
  // Idempotent, except that an empty last item leaves a trailing separator, which the
  // next split drops as it drops every empty piece after a trailing separator.
  Check(vantry::RemoveDuplicateItems(once, "\r\n"_gbk) == once ||
            once.ends_with("\r\n"_gbk),
        "duplicate removal is idempotent");

  // Completing headers keeps what the caller gave and adds each default once.
  const GbkText given = start + end;
  const GbkText headers = vantry::CompleteRequestHeaders(
      given, "http://h/x"_gbk, vantry::HttpMethodFromCode(static_cast<int>(size % 9)),
      sent);
  Check(headers.starts_with(given) || given.empty(), "caller's headers come first");
  Check(headers.find("Accept:"_gbk) != GbkText::npos, "Accept present");
  Check(headers.find("Accept-Language:"_gbk) != GbkText::npos, "Accept-Language present");
  return 0;
}
