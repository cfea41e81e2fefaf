// The fake schedulers' loops (see fake_scheduler.h).
#include "fake_scheduler.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "loopback_listener.h"

namespace qrticket::testing {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kLifetime = std::chrono::seconds(60);

// A response that looks right and never reaches the end of its header.
char ResponseByte(std::size_t i) {
  static const std::string start = "HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\nX-Pad: ";
  return i < start.size() ? start[i] : 'a';
}

}  // namespace

FakeScheduler::FakeScheduler(Kind kind, std::chrono::milliseconds step) : kind_(kind), step_(step) {
  listener_ = ListenOnLoopback(16, port_);
  if (listener_ < 0) return;
  thread_ = std::thread([this] { Run(); });
}

FakeScheduler::~FakeScheduler() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  for (std::thread& t : served_) t.join();
  if (listener_ >= 0) ::close(listener_);
}

std::string FakeScheduler::server() const { return "127.0.0.1:" + std::to_string(port_); }

void FakeScheduler::Run() {
  const auto end = Clock::now() + kLifetime;
  while (!stop_ && Clock::now() < end) {
    pollfd p{listener_, POLLIN, 0};
    if (::poll(&p, 1, 50) <= 0) continue;
    const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) continue;
    ++connections_;
    std::lock_guard lock(mutex_);
    served_.emplace_back([this, connection] {
      Serve(connection);
      ::close(connection);
    });
  }
}

// Reads whatever the client sends; a trickling one sends a byte every step meanwhile.
void FakeScheduler::Serve(int connection) {
  const auto end = Clock::now() + kLifetime;
  auto nextByte = Clock::now() + step_;
  std::size_t sent = 0;
  while (!stop_ && Clock::now() < end) {
    pollfd p{connection, POLLIN, 0};
    if (::poll(&p, 1, 20) > 0) {
      char buffer[4096];
      if (::recv(connection, buffer, sizeof buffer, 0) <= 0) return;  // the client left
    }
    if (kind_ == Kind::Trickle && Clock::now() >= nextByte) {
      const char byte = ResponseByte(sent++);
      if (::send(connection, &byte, 1, MSG_NOSIGNAL) != 1) return;
      nextByte += step_;
    }
  }
}

}  // namespace qrticket::testing
