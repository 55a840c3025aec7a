// One synchronous HTTP or HTTPS GET with a browser's manners.
#ifndef VANTRY_NET_HTTP_REQUEST_H_
#define VANTRY_NET_HTTP_REQUEST_H_

#include <chrono>
#include <cstddef>
#include <limits>
#include <string>
#include <string_view>

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

// The agent the request names.
std::string_view DefaultUserAgent();

// Requests `url` (absolute, or scheme-less and then http) with GET and returns the
// final response's body exactly as received: empty when the URL could not be requested
// (control bytes in it, no usable host or port) or the exchange failed, the bytes
// received so far when it broke off mid-body; at most limits.max_body_bytes.
//
// The request line carries UrlPath(url) (spaces, control bytes and the bytes of
// two-byte characters percent-encoded) and "HTTP/1.1"; the header lines are Host, the
// agent, "Accept: */*", "Referer: " + url and "Accept-Language: zh-cn". No cache, no
// cookie store, no proxy (those of the environment are never used). Redirects are
// followed (at most 20) with the same header lines.
[[nodiscard]] std::string HttpGet(std::string_view url, const HttpLimits& limits = {});

}  // namespace vantry

#endif  // VANTRY_NET_HTTP_REQUEST_H_
