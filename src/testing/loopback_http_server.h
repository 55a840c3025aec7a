// A raw HTTP server on 127.0.0.1 for the tests of the HTTP client: it records the
// exact bytes of every request and answers with scripted raw responses.
#ifndef VANTRY_TESTING_LOOPBACK_HTTP_SERVER_H_
#define VANTRY_TESTING_LOOPBACK_HTTP_SERVER_H_

#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "text/gbk_text.h"

namespace vantry::testing {

// The answer to one request, sent byte for byte; then the connection is closed, or,
// with hold_open, kept open without a word until the client goes or the server stops.
struct ScriptedResponse {
  std::string bytes;
  bool hold_open = false;
};

// A complete response with Content-Length and "Connection: close" added after the
// given header lines, e.g. HttpResponse("200 OK", {"Set-Cookie: a=1"}, "body").
std::string HttpResponse(std::string_view status,
                         const std::vector<std::string>& header_lines,
                         std::string_view body);

// A port on 127.0.0.1 where nothing listens (taken from the system, then released).
int UnusedLoopbackPort();

// Listens on an ephemeral port of 127.0.0.1 from construction to destruction and
// serves one connection at a time on a background thread. A request is read up to the
// end of its header block plus its Content-Length; `handler` (called on the server's
// thread) gives the answer. Destruction stops the thread at once, also while a
// connection is held open.
class LoopbackHttpServer {
 public:
  using Handler = std::function<ScriptedResponse(const std::string& request)>;

  explicit LoopbackHttpServer(Handler handler);
  // Answers every request with `response`.
  explicit LoopbackHttpServer(std::string response);
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;
  ~LoopbackHttpServer();

  int port() const { return port_; }
  // "127.0.0.1:<port>".
  std::string HostAndPort() const;
  // "http://127.0.0.1:<port>" + path.
  GbkText Url(std::string_view path) const;
  // The requests received so far, each exactly as its bytes arrived, in order.
  std::vector<std::string> requests() const;

 private:
  void Serve();
  void ServeConnection(int connection);
  // Waits until `fd` is ready for `events` or the server stops; false when stopping.
  bool WaitFor(int fd, short events) const;

  Handler handler_;
  int listener_ = -1;
  int wake_read_ = -1;
  int wake_write_ = -1;
  int port_ = 0;
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

}  // namespace vantry::testing

#endif  // VANTRY_TESTING_LOOPBACK_HTTP_SERVER_H_
