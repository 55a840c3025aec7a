// One synchronous HTTP or HTTPS exchange with a browser's manners.
#ifndef VANTRY_NET_HTTP_REQUEST_H_
#define VANTRY_NET_HTTP_REQUEST_H_

#include <chrono>
#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "net/request_headers.h"
#include "text/gbk_text.h"

namespace vantry {

// Bounds that keep a dead or misbehaving server from holding the caller forever or
// filling its memory.
struct HttpLimits {
  // Body bytes kept; the transfer stops once this many have arrived and the body
  // holds the first max_body_bytes bytes.
  size_t max_body_bytes = std::numeric_limits<size_t>::max();
  // Name resolution and connection, per connection made.
  std::chrono::milliseconds connect_timeout{30'000};
  // An exchange that moves less than one byte per second for this long is abandoned.
  std::chrono::seconds stall_timeout{30};
  // The whole exchange, redirects included; zero means no limit.
  std::chrono::milliseconds total_timeout{0};
};

// What to send and how. Every field has a default, so `{}` is the plain GET the
// notice makes.
struct HttpRequestOptions {
  // The verb. A value outside the enumerators is sent as kGet.
  HttpMethod method = HttpMethod::kGet;
  // The request body, for every method but kGet: send_bytes when it is not empty,
  // otherwise send_text (either may be empty; the body is then empty). kHead takes the
  // body as the others do but sends none: its answer has no body, and the client could
  // not tell where it ends otherwise.
  GbkText send_text{};
  std::string send_bytes{};
  // Cookie text to send: name=value pairs separated by "; ", or a text that already
  // reads "Cookie:". std::nullopt means "not passed". A passed text, even an empty one,
  // sends its non-empty text as a Cookie line and, with merge_cookies, is merged with
  // the cookies the response set (HttpResult::returned_cookies, merged_cookies).
  std::optional<GbkText> cookies{};
  // Extra request header lines ("\r\n"-separated, no trailing line break), completed
  // by CompleteRequestHeaders; a "User-Agent:" line among them names the agent
  // (RequestAgent).
  GbkText headers{};
  // false returns the redirect response itself.
  bool follow_redirects = true;
  // "host:port" of an HTTP proxy; empty connects directly (proxy settings of the
  // environment are never used).
  std::string proxy{};
  // Whether passed cookies are merged with the response's; no effect without cookies.
  bool merge_cookies = true;
  HttpLimits limits{};
};

// What one exchange sent and received.
struct HttpResult {
  // false when the URL could not be requested at all (control bytes in it, no usable
  // host or port) or the client could not be set up: nothing was sent and every other
  // field is empty. true once the request was handed to the connection, whether or not
  // an answer came.
  bool requested = false;
  // The response body exactly as received; empty when the exchange failed, the bytes
  // received so far when it broke off mid-body; at most options.limits.max_body_bytes.
  std::string body;
  // The final response's status line and header lines, each ended by "\r\n"; empty
  // when no complete final response arrived or its block exceeded 256 KiB.
  GbkText returned_headers;
  // The cookies the final response set (CollectSetCookies of returned_headers); with
  // cookies passed and merge_cookies, MergeCookies of the passed cookies with them.
  GbkText returned_cookies;
  // With cookies passed and merge_cookies (and requested): the passed cookies merged
  // with the response's, the same text as returned_cookies; the caller's cookie text
  // for its next request. Otherwise std::nullopt.
  std::optional<GbkText> merged_cookies;
  // The completed header block that was sent (CompleteRequestHeaders), lines separated
  // by "\r\n", no trailing line break.
  GbkText sent_headers;
  // The request body taken (see HttpRequestOptions::send_text): empty for kGet; for
  // kHead the body taken although none went on the wire.
  std::string sent_bytes;
};

// Requests `url` (absolute, or scheme-less and then http) with a browser's manners.
// The request line carries UrlPath(url) and "HTTP/1.1"; no cache, no cookie store and
// no header beyond Host, the completed lines, the agent and, for a body,
// Content-Length are added. Redirects are followed (at most 20) unless refused, with
// the same header lines. A connection that fails still completes the result: sent
// headers and bytes as they would have gone, no body, no returned headers, and passed
// cookies merged with none.
HttpResult HttpRequest(GbkView url, const HttpRequestOptions& options = {});

}  // namespace vantry

#endif  // VANTRY_NET_HTTP_REQUEST_H_
