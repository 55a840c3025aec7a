#include "net/http_request.h"

#include <curl/curl.h>

#include <memory>
#include <vector>

#include "net/cookie_text.h"
#include "net/request_headers.h"
#include "net/url_parts.h"
#include "text/split_text.h"

namespace vantry {
namespace {

// Response header blocks are kept whole up to this size; a larger block is not
// returned (as a failed header query), but the body still is.
constexpr size_t kMaxHeaderBlockBytes = 256 * 1024;
// Redirects followed before the exchange gives up, as browsers do.
constexpr long kMaxRedirects = 20;

// libcurl's process-wide set-up, done once and undone at exit.
class CurlGlobal {
 public:
  CurlGlobal() : ok_(curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK) {}
  CurlGlobal(const CurlGlobal&) = delete;
  CurlGlobal& operator=(const CurlGlobal&) = delete;
  ~CurlGlobal() {
    if (ok_) curl_global_cleanup();
  }
  bool ok() const { return ok_; }

 private:
  bool ok_;
};

bool CurlReady() {
  static const CurlGlobal global;
  return global.ok();
}

struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct UrlDeleter {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using HeaderList = std::unique_ptr<curl_slist, ListDeleter>;
using UrlHandle = std::unique_ptr<CURLU, UrlDeleter>;

bool AppendLine(HeaderList& list, const std::string& line) {
  curl_slist* head = curl_slist_append(list.get(), line.c_str());
  if (head == nullptr) return false;
  (void)list.release();  // `head` is the same list, grown, or the new one
  list.reset(head);
  return true;
}

bool IsHostByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_';
}

// The path as it may stand in a request line: spaces, control bytes and the bytes of
// two-byte characters are percent-encoded, everything else goes as written.
std::string EncodePath(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(path.size());
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7F) {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    } else {
      out += c;
    }
  }
  return out;
}

// The URL libcurl is given: scheme, host, port and path as derived from the caller's
// URL. Empty when the URL holds control bytes or names no usable host or port.
std::string TargetUrl(GbkView url) {
  // Control bytes would also reach the Referer line, where they could start a line of
  // their own.
  for (const char c : url) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return {};
  }
  const bool https = IsHttpsUrl(url);
  const GbkText host = UrlHost(url);
  if (host.empty()) return {};
  for (const char c : host) {
    if (!IsHostByte(c)) return {};
  }
  int port = UrlPort(url);
  if (port < 0 || port > 65535) return {};
  if (port == 0) port = https ? 443 : 80;  // no usable number: the scheme's own port
  std::string target = std::string(https ? "https://" : "http://") + host.bytes() + ":" +
                       std::to_string(port) + EncodePath(UrlPath(url).bytes());
  UrlHandle parsed(curl_url());
  if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, target.c_str(),
                              CURLU_PATH_AS_IS) != CURLUE_OK) {
    return {};
  }
  return target;
}

// The header list libcurl sends. It first switches off what libcurl would add on its
// own (an empty value removes a header): "Expect: 100-continue", the proxy's
// keep-alive line and the form content type of non-POST bodies. Then the block's
// lines; a line with an empty value is passed in libcurl's "Name;" form so that it
// is still sent.
bool BuildHeaderList(GbkView block, HeaderList& list) {
  for (const char* off : {"Expect:", "Proxy-Connection:", "Content-Type:"}) {
    if (!AppendLine(list, off)) return false;
  }
  for (const GbkText& line : SplitText(block, "\r\n"_gbk)) {
    if (line.empty()) continue;
    const std::string& bytes = line.bytes();
    const size_t colon = bytes.find(':');
    const bool no_value = colon != std::string::npos &&
                          bytes.find_first_not_of(" \t", colon + 1) == std::string::npos;
    if (!AppendLine(list, no_value ? bytes.substr(0, colon) + ";" : bytes)) return false;
  }
  return true;
}

// What arrives during the exchange.
struct Transfer {
  size_t max_body_bytes = 0;
  std::string body;
  // The header block of the response being received, and whether its end was seen.
  std::string block;
  bool block_complete = false;
  bool block_too_large = false;
  // Complete header blocks of responses that are not interim (1xx) ones.
  long final_blocks = 0;
};

bool IsInterimStatus(std::string_view status_line) {
  const size_t space = status_line.find(' ');
  return space != std::string_view::npos && space + 1 < status_line.size() &&
         status_line[space + 1] == '1';
}

size_t OnHeaderLine(char* data, size_t size, size_t count, void* user) {
  auto& transfer = *static_cast<Transfer*>(user);
  const size_t bytes = size * count;
  std::string_view line(data, bytes);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
    line.remove_suffix(1);
  if (line.starts_with("HTTP/")) {
    // A new response (after an interim one or a redirect): only the last one counts.
    transfer.block.clear();
    transfer.block_complete = false;
    transfer.block_too_large = false;
    transfer.body.clear();
  } else if (transfer.block_complete) {
    return bytes;  // trailers after a chunked body are not part of the block
  }
  if (line.empty()) {
    transfer.block_complete = true;
    if (!IsInterimStatus(transfer.block)) ++transfer.final_blocks;
    return bytes;
  }
  if (transfer.block.size() + line.size() + 2 > kMaxHeaderBlockBytes) {
    transfer.block_too_large = true;
  } else if (!transfer.block_too_large) {
    transfer.block.append(line);
    transfer.block.append("\r\n");
  }
  return bytes;
}

size_t OnBodyBytes(char* data, size_t size, size_t count, void* user) {
  auto& transfer = *static_cast<Transfer*>(user);
  const size_t bytes = size * count;
  const size_t room = transfer.max_body_bytes - transfer.body.size();
  if (bytes > room) {
    transfer.body.append(data, room);
    return 0;  // stops the transfer: the body is full
  }
  transfer.body.append(data, bytes);
  return bytes;
}

}  // namespace

HttpResult HttpRequest(GbkView url, const HttpRequestOptions& options) {
  // An out-of-range value goes as GET, as an unknown method code does.
  const HttpMethod verb = HttpMethodFromCode(static_cast<int>(options.method));
  const GbkText agent = RequestAgent(options.headers);
  const HttpLimits& limits = options.limits;

  // Everything that can fail before anything is sent is done first, so that those
  // failures are told apart as "not requested" and leave the result empty.
  if (!CurlReady()) return {};
  const std::string target = TargetUrl(url);
  if (target.empty()) return {};
  EasyHandle easy(curl_easy_init());
  if (!easy) return {};
  CURL* const h = easy.get();
  Transfer transfer;
  transfer.max_body_bytes = limits.max_body_bytes;

  bool ok = true;
  auto set = [&](CURLoption option, auto value) {
    ok = ok && curl_easy_setopt(h, option, value) == CURLE_OK;
  };
  set(CURLOPT_URL, target.c_str());
  set(CURLOPT_PATH_AS_IS, 1L);
  set(CURLOPT_PROTOCOLS_STR, "http,https");
  set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  set(CURLOPT_USERAGENT, agent.c_str());
  // An empty proxy text also keeps proxies named in the environment out; with a proxy,
  // no host of the environment's no-proxy list bypasses it.
  set(CURLOPT_PROXY, options.proxy.c_str());
  if (!options.proxy.empty()) set(CURLOPT_NOPROXY, "");
  set(CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
  set(CURLOPT_FOLLOWLOCATION, options.follow_redirects ? 1L : 0L);
  set(CURLOPT_MAXREDIRS, kMaxRedirects);
  set(CURLOPT_NOSIGNAL, 1L);
  set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connect_timeout.count()));
  set(CURLOPT_LOW_SPEED_LIMIT, 1L);
  set(CURLOPT_LOW_SPEED_TIME, static_cast<long>(limits.stall_timeout.count()));
  set(CURLOPT_TIMEOUT_MS, static_cast<long>(limits.total_timeout.count()));
  set(CURLOPT_HEADERFUNCTION, &OnHeaderLine);
  set(CURLOPT_HEADERDATA, &transfer);
  set(CURLOPT_WRITEFUNCTION, &OnBodyBytes);
  set(CURLOPT_WRITEDATA, &transfer);

  const GbkView cookies =
      options.cookies.has_value() ? GbkView(*options.cookies) : GbkView();
  GbkText block = CompleteRequestHeaders(options.headers, url, verb, cookies);
  HeaderList header_list;
  ok = ok && BuildHeaderList(block, header_list);
  set(CURLOPT_HTTPHEADER, header_list.get());

  // Every method but GET and HEAD sends a body, empty or not. A HEAD answer has no body
  // and no request body is sent with it; the body text is still taken as for the others.
  std::string body_sent;
  if (verb != HttpMethod::kGet) {
    body_sent =
        !options.send_bytes.empty() ? options.send_bytes : options.send_text.bytes();
  }
  if (verb == HttpMethod::kGet) {
    set(CURLOPT_HTTPGET, 1L);
  } else if (verb == HttpMethod::kHead) {
    set(CURLOPT_NOBODY, 1L);
  } else {
    set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body_sent.size()));
    set(CURLOPT_POSTFIELDS, body_sent.data());
    if (verb != HttpMethod::kPost)
      set(CURLOPT_CUSTOMREQUEST, HttpMethodVerb(verb).data());
  }
  if (!ok) return {};

  // A failed exchange is told by what arrived, not by the result code: a body cut
  // short still counts, a connection that never answered leaves nothing.
  (void)curl_easy_perform(h);
  long redirects = 0;
  if (curl_easy_getinfo(h, CURLINFO_REDIRECT_COUNT, &redirects) != CURLE_OK)
    redirects = -1;
  easy.reset();
  header_list.reset();

  HttpResult result;
  result.requested = true;
  result.sent_headers = std::move(block);
  result.sent_bytes = std::move(body_sent);
  // The final response arrived when every redirect followed was answered too.
  const bool final_arrived = transfer.final_blocks == redirects + 1;
  if (final_arrived && transfer.block_complete && !transfer.block_too_large) {
    result.returned_headers = GbkText(std::move(transfer.block));
  }
  if (final_arrived) result.body = std::move(transfer.body);

  result.returned_cookies = CollectSetCookies(result.returned_headers);
  if (options.merge_cookies && options.cookies.has_value()) {
    GbkText merged = *options.cookies;
    result.returned_cookies = MergeCookies(merged, result.returned_cookies);
    result.merged_cookies = std::move(merged);
  }
  return result;
}

}  // namespace vantry
