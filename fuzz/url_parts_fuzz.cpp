// Properties of the URL parts the HTTP request connects with.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_check.h"
#include "net/url_parts.h"

namespace {

using vantry::fuzz::Check;
using vantry::operator""_gbk;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const vantry::GbkText url(std::string_view(reinterpret_cast<const char*>(data), size));
  const vantry::GbkText host = vantry::UrlHost(url);
  // Lower case and free of "/" and ":" on character boundaries (two-byte characters
  // are left as they are).
  for (size_t i = 0; i < host.size();
       i += static_cast<unsigned char>(host[i]) >= 0x80 ? 2 : 1) {
    const unsigned char c = static_cast<unsigned char>(host[i]);
    Check(!(c >= 'A' && c <= 'Z'), "the host is in lower case");
    Check(c != '/' && c != ':', "the host holds no slash and no port");
  }
  const vantry::GbkText path = vantry::UrlPath(url);
  Check(!path.empty() && path[0] == '/', "the path starts with a slash");
  Check(path == "/"_gbk || url.ends_with(path), "the path is the end of the URL");
  const int port = vantry::UrlPort(url);
  (void)port;  // any int: the request refuses ports outside 0..65535
  return 0;
}
