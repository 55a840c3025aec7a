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

using vantry::fuzz::Check;

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  std::string sent = input.ConsumeRandomLengthString(128);
  std::string returned = input.ConsumeRandomLengthString(128);
  const bool valid = vantry::IsValidGbk(sent) && vantry::IsValidGbk(returned);
  const std::string start = input.ConsumeRandomLengthString(8);
  const std::string end = input.ConsumeRandomLengthString(8);
  const std::string block = input.ConsumeRemainingBytesAsString();

  // MergeCookies: never a deleted cookie, no spaces, no repeated item, written back.
  const std::string merged = vantry::MergeCookies(sent, returned);
  Check(merged == sent, "the sent cookies are overwritten with the result");
  std::set<std::string> seen;
  for (size_t i = 0; valid && i < merged.size(); ++i) {
    // A lone lead byte may swallow a following space as its second byte, so this holds
    // for valid GBK input only.
    Check(merged[i] != ' ' || (i > 0 && merged[i - 1] == ';'),
          "spaces only in separators");
  }
  for (const std::string& item : vantry::SplitText(merged, "; ")) {
    Check(!EndsWith(item, "=deleted"), "no deleted cookie survives the merge");
    Check(seen.insert(item).second, "no item twice");
  }

  // TextBetween gives a piece of the text or nothing.
  const std::string between = vantry::TextBetween(block, start, end);
  Check(between.empty() || block.find(between) != std::string::npos,
        "between lies in text");

  // At most one cookie per header line.
  const std::string cookies = vantry::CollectSetCookies(block);
  Check(
      vantry::SplitText(cookies, "; ").size() <= vantry::SplitText(block, "\r\n").size(),
      "at most one cookie per line");
  const std::string once = vantry::RemoveDuplicateItems(block, "\r\n");
  // Idempotent, except that an empty last item leaves a trailing separator, which the
  // next split drops as it drops every empty piece after a trailing separator.
  Check(vantry::RemoveDuplicateItems(once, "\r\n") == once || EndsWith(once, "\r\n"),
        "duplicate removal is idempotent");

  // Completing headers keeps what the caller gave and adds each default once.
  const std::string headers = vantry::CompleteRequestHeaders(
      start + end, "http://h/x", vantry::HttpMethodFromCode(static_cast<int>(size % 9)),
      sent);
  Check(
      headers.compare(0, (start + end).size(), start + end) == 0 || (start + end).empty(),
      "caller's headers come first");
  Check(headers.find("Accept:") != std::string::npos, "Accept present");
  Check(headers.find("Accept-Language:") != std::string::npos, "Accept-Language present");
  return 0;
}
