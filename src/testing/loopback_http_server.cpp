#include "testing/loopback_http_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace vantry::testing {
namespace {

// Largest request the server reads; tests send far less.
constexpr size_t kMaxRequestBytes = 16 << 20;

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// A socket bound to 127.0.0.1 on an ephemeral port; returns its descriptor and port.
int BindLoopback(int& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::runtime_error("socket failed");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(fd);
    throw std::runtime_error("bind failed");
  }
  port = ntohs(address.sin_port);
  return fd;
}

std::string ToLower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  });
  return out;
}

// The request's full length once its header block has arrived, from Content-Length.
size_t ExpectedLength(std::string_view request, size_t header_end) {
  const std::string head = ToLower(request.substr(0, header_end));
  const size_t at = head.find("\r\ncontent-length:");
  if (at == std::string::npos) return header_end;
  size_t length = 0;
  for (size_t i = at + 17; i < head.size() && head[i] != '\r'; ++i) {
    if (head[i] >= '0' && head[i] <= '9')
      length = std::min(length * 10 + (head[i] - '0'), kMaxRequestBytes);
  }
  return header_end + length;
}

}  // namespace

std::string HttpResponse(std::string_view status,
                         const std::vector<std::string>& header_lines,
                         std::string_view body) {
  std::string out = "HTTP/1.1 " + std::string(status) + "\r\n";
  for (const std::string& line : header_lines) out += line + "\r\n";
  out +=
      "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
  out += body;
  return out;
}

int UnusedLoopbackPort() {
  int port = 0;
  const int fd = BindLoopback(port);
  ::close(fd);  // bound but never listening, then released: connections are refused
  return port;
}

LoopbackHttpServer::LoopbackHttpServer(std::string response)
    : LoopbackHttpServer([response = std::move(response)](const std::string&) {
        return ScriptedResponse{response};
      }) {}

LoopbackHttpServer::LoopbackHttpServer(Handler handler) : handler_(std::move(handler)) {
  listener_ = BindLoopback(port_);
  int pipe_fds[2];
  if (::listen(listener_, 16) != 0 || ::pipe2(pipe_fds, O_CLOEXEC) != 0) {
    CloseFd(listener_);
    throw std::runtime_error("listen failed");
  }
  wake_read_ = pipe_fds[0];
  wake_write_ = pipe_fds[1];
  thread_ = std::thread([this] { Serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  const char stop = 's';
  (void)!::write(wake_write_, &stop, 1);
  thread_.join();
  CloseFd(listener_);
  CloseFd(wake_read_);
  CloseFd(wake_write_);
}

std::string LoopbackHttpServer::HostAndPort() const {
  return "127.0.0.1:" + std::to_string(port_);
}

GbkText LoopbackHttpServer::Url(std::string_view path) const {
  return GbkText("http://" + HostAndPort() + std::string(path));
}

std::vector<std::string> LoopbackHttpServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

bool LoopbackHttpServer::WaitFor(int fd, short events) const {
  pollfd fds[2] = {{fd, events, 0}, {wake_read_, POLLIN, 0}};
  while (true) {
    const int ready = ::poll(fds, 2, -1);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0 || (fds[1].revents & POLLIN) != 0) return false;
    if (fds[0].revents != 0) return true;
  }
}

void LoopbackHttpServer::Serve() {
  while (WaitFor(listener_, POLLIN)) {
    int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) continue;
    ServeConnection(connection);
    CloseFd(connection);
  }
}

void LoopbackHttpServer::ServeConnection(int connection) {
  std::string request;
  size_t expected = 0;
  char chunk[4096];
  while (expected == 0 || request.size() < expected) {
    if (!WaitFor(connection, POLLIN)) return;
    const ssize_t n = ::recv(connection, chunk, sizeof chunk, 0);
    if (n <= 0) break;
    request.append(chunk, static_cast<size_t>(n));
    if (request.size() > kMaxRequestBytes) break;
    if (expected == 0) {
      const size_t end = request.find("\r\n\r\n");
      if (end != std::string::npos) expected = ExpectedLength(request, end + 4);
    }
  }
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(request);
  }
  if (expected == 0 || request.size() < expected) return;  // the client gave up

  const ScriptedResponse response = handler_(request);
  size_t sent = 0;
  while (sent < response.bytes.size()) {
    if (!WaitFor(connection, POLLOUT)) return;
    const ssize_t n = ::send(connection, response.bytes.data() + sent,
                             response.bytes.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // the client closed its end
    sent += static_cast<size_t>(n);
  }
  if (response.hold_open) {
    // Silent until the client hangs up (a read of 0) or the server stops.
    while (WaitFor(connection, POLLIN) &&
           ::recv(connection, chunk, sizeof chunk, 0) > 0) {
    }
  }
}

}  // namespace vantry::testing
