#include "net/url_parts.h"

#include "net/marker_text.h"
#include "text/find_text.h"
#include "text/numbers.h"
#include "text/text_slices.h"

namespace vantry {
namespace {

constexpr GbkView kHttps = "https://"_gbk;
constexpr GbkView kHttp = "http://"_gbk;

// The host with its port, if any: between the scheme and the next "/".
GbkText HostAndPort(GbkView url) {
  GbkText u = ToLowerAscii(url);
  if (u.empty() || u.back() != '/') u += '/';
  if (u.starts_with(kHttps)) return TextBetween(u, kHttps, "/"_gbk);
  // Only a leading scheme counts: "example/?next=http://other/" names "example".
  if (!u.starts_with(kHttp)) u.insert(0, kHttp);
  return TextBetween(u, kHttp, "/"_gbk);
}

}  // namespace

bool IsHttpsUrl(GbkView url) { return ToLowerAscii(Left(url, 8)) == kHttps; }

GbkText UrlHost(GbkView url) {
  GbkText host = HostAndPort(url);
  const int64_t colon = FindText(host, ":"_gbk);
  if (colon > 0) host.resize(static_cast<size_t>(colon) - 1);
  return host;
}

int UrlPort(GbkView url) {
  const GbkText host_and_port = HostAndPort(url);
  const int64_t colon = FindTextBackward(host_and_port, ":"_gbk);
  if (colon > 0)
    return TextToInteger(GbkView(host_and_port).substr(static_cast<size_t>(colon)));
  // The same test as for the secure connection, so a scheme-less "httpsite/x" is
  // plain http on port 80.
  return IsHttpsUrl(url) ? 443 : 80;
}

GbkText UrlPath(GbkView url) {
  const GbkText host = UrlHost(url);
  // The host is sought behind the scheme, so a host such as "h" or "http" is not taken
  // for the letters of the scheme itself.
  int64_t from = 1;
  const GbkText lower = ToLowerAscii(Left(url, 8));
  if (lower.starts_with(kHttps)) {
    from = static_cast<int64_t>(kHttps.size()) + 1;
  } else if (lower.starts_with(kHttp)) {
    from = static_cast<int64_t>(kHttp.size()) + 1;
  }
  const int64_t host_at = FindText(url, host, from, true);
  const int64_t slash = FindText(url, "/"_gbk, host_at > 0 ? host_at : 1, true);
  if (slash > 0) return GbkText(url.substr(static_cast<size_t>(slash) - 1));
  return "/"_gbk;
}

}  // namespace vantry
