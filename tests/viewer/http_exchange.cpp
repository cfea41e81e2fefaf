// Plain HTTP exchanges on loopback for the bench's tests; every wait is bounded.
#include "http_exchange.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "loopback_listener.h"

namespace qrticket::testing {
namespace {

using Clock = std::chrono::steady_clock;


bool SendAll(int fd, const std::string& data) {
  std::size_t sent = 0;
  while (sent < data.size()) {
    pollfd p{fd, POLLOUT, 0};
    if (::poll(&p, 1, 5000) <= 0) return false;
    const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;  // the server closed: it refused what came so far
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

// Reads what is there within `wait`; false at the end of the stream or on a time-out.
bool ReadSome(int fd, std::string& into, std::chrono::milliseconds wait) {
  pollfd p{fd, POLLIN, 0};
  if (::poll(&p, 1, static_cast<int>(std::max<std::int64_t>(wait.count(), 0))) <= 0) return false;
  char buffer[16384];
  const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
  if (n <= 0) return false;
  into.append(buffer, static_cast<std::size_t>(n));
  return true;
}

// Whether `text` holds a whole answer with a Content-Length: a server that refused a request
// it could not parse keeps the connection open for what it takes to be more of it.
bool Complete(const std::string& text) {
  const auto headEnd = text.find("\r\n\r\n");
  if (headEnd == std::string::npos) return false;
  const auto at = text.find("\r\nContent-Length: ");
  if (at == std::string::npos || at > headEnd) return false;
  return text.size() - (headEnd + 4) >= std::stoul(text.substr(at + 18));
}

std::chrono::milliseconds Left(Clock::time_point end) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
}

}  // namespace

HttpAnswer HttpExchange(int port, const std::string& request, std::chrono::milliseconds bound) {
  HttpAnswer answer;
  const int fd = ConnectToLoopback(port);
  if (fd < 0) return answer;
  SendAll(fd, request);  // a server may answer before it has read everything
  std::string text;
  const auto end = Clock::now() + bound;
  while (!Complete(text) && Left(end).count() > 0 && ReadSome(fd, text, Left(end))) {
  }
  ::close(fd);
  const auto headEnd = text.find("\r\n\r\n");
  answer.head = text.substr(0, headEnd);
  if (headEnd != std::string::npos) answer.body = text.substr(headEnd + 4);
  if (text.rfind("HTTP/1.1 ", 0) == 0 && text.size() >= 12) answer.status = std::stoi(text.substr(9, 3));
  return answer;
}

HttpAnswer HttpGet(int port, const std::string& path) {
  return HttpExchange(port, "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
                                "\r\nConnection: close\r\n\r\n");
}

EventStream::EventStream(int port) : fd_(ConnectToLoopback(port)) {
  if (fd_ >= 0 && !SendAll(fd_, "GET /api/events HTTP/1.1\r\nHost: 127.0.0.1:" +
                                    std::to_string(port) + "\r\nAccept: text/event-stream\r\n\r\n")) {
    ::close(fd_);
    fd_ = -1;
  }
}

EventStream::~EventStream() {
  if (fd_ >= 0) ::close(fd_);
}

std::string EventStream::ReadUntil(const std::string& text, std::chrono::milliseconds bound) {
  const auto end = Clock::now() + bound;
  while (received_.find(text) == std::string::npos) {
    if (fd_ < 0 || Left(end).count() <= 0 || !ReadSome(fd_, received_, Left(end))) return "";
  }
  return received_;
}

}  // namespace qrticket::testing
