// The browser-like request header lines the HTTP request completes and the agent it
// names.
#ifndef VANTRY_NET_REQUEST_HEADERS_H_
#define VANTRY_NET_REQUEST_HEADERS_H_

#include <string_view>

#include "text/gbk_text.h"

namespace vantry {

// Request method codes; any other code is taken as kGet.
enum class HttpMethod { kGet, kPost, kHead, kPut, kOptions, kDelete, kTrace, kConnect };

// The method of `code`: codes outside 0..7 give kGet.
HttpMethod HttpMethodFromCode(int code);

// "GET", "POST", "HEAD", "PUT", "OPTIONS", "DELETE", "TRACE" or "CONNECT".
std::string_view HttpMethodVerb(HttpMethod method);

// The agent named when the caller's header lines name none.
std::string_view DefaultUserAgent();

// The agent for the request: DefaultUserAgent() when `headers` has no "User-Agent:"
// (in any letter case); otherwise the trimmed value of the "User-Agent:" line, or,
// when that line is not written in exactly that case or its value is empty, the
// trimmed text after the first ":" of all the lines. Cut at the first line break, so
// the agent is always a single header value.
GbkText RequestAgent(GbkView headers);

// The caller's header lines ("\r\n"-separated, no trailing line break) completed with
// the lines that are missing, each looked for by its exact name: "Accept: */*",
// "Referer: " + url, "Accept-Language: zh-cn", for kPost the form content type, and
// the cookies ("Cookie: " + cookies, or cookies as their own line when they already
// read "Cookie:") when `cookies` is not empty.
GbkText CompleteRequestHeaders(GbkView headers, GbkView url, HttpMethod method,
                               GbkView cookies);

}  // namespace vantry

#endif  // VANTRY_NET_REQUEST_HEADERS_H_
