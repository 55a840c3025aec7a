// The host, port and request path of a URL, as the HTTP request connects and asks.
#ifndef VANTRY_NET_URL_PARTS_H_
#define VANTRY_NET_URL_PARTS_H_

#include <string_view>

#include "text/gbk_text.h"

namespace vantry {

// True when the URL begins with "https://" in any letter case.
bool IsHttpsUrl(GbkView url);

// The host in lower case, without a port: what stands between "https://" or "http://"
// and the next "/". A URL that does not begin with either scheme is read as http
// ("example/x" has the host "example").
GbkText UrlHost(GbkView url);

// The number after the host's last ":" (0 when it is empty or not a number); without
// one, 443 for an https URL and 80 otherwise.
int UrlPort(GbkView url);

// Everything from the first "/" after the host to the end, query included, in the
// letter case the caller wrote; "/" when nothing follows the host.
GbkText UrlPath(GbkView url);

}  // namespace vantry

#endif  // VANTRY_NET_URL_PARTS_H_
