// One synchronous HTTP or HTTPS exchange with a browser's manners.
#ifndef VANTRY_NET_HTTP_REQUEST_H_
#define VANTRY_NET_HTTP_REQUEST_H_

#include <chrono>
#include <cstddef>
#include <limits>
#include <string>
#include <string_view>

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

// Requests `url` (absolute, or scheme-less and then http) and returns the response
// body exactly as received; an empty body when the exchange fails. Output and in/out
// arguments are optional (nullptr: not wanted / not passed):
//
// - method: a code of HttpMethod (request_headers.h); other codes send GET.
// - send_text, send_bytes: the request body of every method but GET (HEAD sends none:
//   its answer has no body, and the client could not tell where it ends otherwise).
//   For those methods an empty *send_bytes is filled with send_text and keeps it.
// - cookies: nullptr means "not passed". When passed, even empty, its non-empty text
//   is sent as a Cookie line and, with merge_cookies, both *cookies and
//   *returned_cookies end as MergeCookies of it with the cookies the response set.
// - returned_cookies: the cookies the final response set (CollectSetCookies).
// - headers: extra request header lines ("\r\n"-separated); on return the completed
//   block that was sent (CompleteRequestHeaders).
// - returned_headers: the final response's status line and header lines, each ended
//   by "\r\n"; empty when no complete final response arrived.
// - no_redirect: true returns the redirect response itself.
// - proxy: "host:port" of an HTTP proxy; empty connects directly (proxy settings of
//   the environment are never used).
//
// The agent is RequestAgent(headers); the request line carries UrlPath(url) and
// "HTTP/1.1"; no cache, no cookie store and no header beyond Host, the given lines,
// the agent and, for a body, Content-Length are added. When the URL cannot be
// requested at all (control bytes in it, no usable host or port) the result is empty
// and no argument is touched. A connection that fails gives an empty body and empty
// returned headers; one that breaks off mid-body gives the bytes received so far.
std::string HttpRequest(std::string_view url, int method = 0,
                        std::string_view send_text = {}, GbkText* cookies = nullptr,
                        GbkText* returned_cookies = nullptr, GbkText* headers = nullptr,
                        GbkText* returned_headers = nullptr, bool no_redirect = false,
                        std::string* send_bytes = nullptr, std::string_view proxy = {},
                        bool merge_cookies = true,
                        const HttpLimits& limits = HttpLimits());

}  // namespace vantry

#endif  // VANTRY_NET_HTTP_REQUEST_H_
