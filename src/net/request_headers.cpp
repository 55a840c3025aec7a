#include "net/request_headers.h"

#include <array>

#include "net/marker_text.h"
#include "text/find_text.h"
#include "text/text_slices.h"

namespace vantry {

HttpMethod HttpMethodFromCode(int code) {
  if (code < 0 || code > static_cast<int>(HttpMethod::kConnect)) return HttpMethod::kGet;
  return static_cast<HttpMethod>(code);
}

std::string_view HttpMethodVerb(HttpMethod method) {
  static constexpr std::array<std::string_view, 8> kVerbs = {
      "GET", "POST", "HEAD", "PUT", "OPTIONS", "DELETE", "TRACE", "CONNECT"};
  return kVerbs[static_cast<size_t>(method)];
}

std::string_view DefaultUserAgent() {
  return "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
}

GbkText RequestAgent(GbkView headers) {
  if (FindText(headers, "User-Agent:"_gbk, 1, true) < 1)
    return GbkText(DefaultUserAgent());
  GbkText agent = TrimSpaces(
      TextBetween(ConcatTexts(headers, "\r\n"_gbk), "User-Agent:"_gbk, "\r\n"_gbk));
  if (agent.empty()) agent = ValueAfterColon(headers);
  // The fallback may run over several lines; a header value never does.
  const size_t line_break = agent.bytes().find_first_of("\r\n");
  if (line_break != GbkText::npos) agent = TrimSpaces(agent.substr(0, line_break));
  return agent;
}

GbkText CompleteRequestHeaders(GbkView headers, GbkView url, HttpMethod method,
                               GbkView cookies) {
  GbkText block(headers);
  if (block.empty()) {
    block = "Accept: */*"_gbk;
  } else if (FindText(block, "Accept:"_gbk) < 1) {
    block += "\r\nAccept: */*"_gbk;
  }
  if (FindText(block, "Referer:"_gbk) < 1) block += ConcatTexts("\r\nReferer: "_gbk, url);
  if (FindText(block, "Accept-Language:"_gbk) < 1)
    block += "\r\nAccept-Language: zh-cn"_gbk;
  if (method == HttpMethod::kPost && FindText(block, "Content-Type:"_gbk) < 1) {
    block += "\r\nContent-Type: application/x-www-form-urlencoded"_gbk;
  }
  if (!cookies.empty()) {
    block += FindText(cookies, "Cookie:"_gbk) > 0
                 ? ConcatTexts("\r\n"_gbk, cookies)
                 : ConcatTexts("\r\nCookie: "_gbk, cookies);
  }
  return block;
}

}  // namespace vantry
