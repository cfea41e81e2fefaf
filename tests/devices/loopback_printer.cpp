// Loopback printers for the device tests.
#include "loopback_printer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace qrticket::testing {
namespace {

// A socket bound to port 0 of the loopback address; -1 when that is not possible.
int BoundLoopbackSocket(bool ipv6, int receiveBuffer, std::uint16_t& port) {
  const int fd = ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (receiveBuffer > 0)
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
  sockaddr_storage storage{};
  socklen_t length = 0;
  if (ipv6) {
    auto* a = reinterpret_cast<sockaddr_in6*>(&storage);
    a->sin6_family = AF_INET6;
    a->sin6_addr = in6addr_loopback;
    length = sizeof *a;
  } else {
    auto* a = reinterpret_cast<sockaddr_in*>(&storage);
    a->sin_family = AF_INET;
    a->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    length = sizeof *a;
  }
  if (::bind(fd, reinterpret_cast<sockaddr*>(&storage), length) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&storage), &length) != 0) {
    ::close(fd);
    return -1;
  }
  port = ntohs(ipv6 ? reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port
                    : reinterpret_cast<sockaddr_in*>(&storage)->sin_port);
  return fd;
}

std::string Ipv4Name(std::uint16_t port) { return "tcp://127.0.0.1:" + std::to_string(port); }

// Bounds every wait of the printer thread, so a test that goes wrong still ends.
constexpr auto kLifetime = std::chrono::seconds(30);

}  // namespace

LoopbackPrinter::LoopbackPrinter(PrinterBehaviour behaviour) : behaviour_(behaviour) {
  listener_ = BoundLoopbackSocket(behaviour.ipv6, behaviour.receiveBuffer, port_);
  if (listener_ < 0) return;
  if (::listen(listener_, 4) != 0) {
    ::close(listener_);
    listener_ = -1;
    return;
  }
  thread_ = std::thread([this] { Run(); });
}

LoopbackPrinter::~LoopbackPrinter() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (listener_ >= 0) ::close(listener_);
}

std::string LoopbackPrinter::DeviceName() const {
  if (behaviour_.ipv6) return "tcp://[::1]:" + std::to_string(port_);
  return Ipv4Name(port_);
}

bool LoopbackPrinter::WaitFinished(std::chrono::milliseconds bound) {
  const auto deadline = Clock::now() + bound;
  while (!finished_) {
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

std::string LoopbackPrinter::received() const {
  const std::lock_guard lock(mutex_);
  return received_;
}

bool LoopbackPrinter::WaitConnected(std::chrono::milliseconds bound) const {
  const auto deadline = Clock::now() + bound;
  while (!connected_) {
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

void LoopbackPrinter::Run() {
  const int connection = Accept();
  connected_ = connection >= 0;
  if (connection >= 0) {
    Serve(connection);
    ::close(connection);
  }
  finished_ = true;
}

int LoopbackPrinter::Accept() {
  const auto deadline = Clock::now() + kLifetime;
  while (!stop_ && Clock::now() < deadline) {
    pollfd p{listener_, POLLIN, 0};
    if (::poll(&p, 1, 50) > 0) return ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
  }
  return -1;
}

// Reads at most `limit` bytes (waiting up to 50 ms for them). False once the job's side has
// ended the connection.
bool LoopbackPrinter::ReadSome(int connection, std::size_t limit) {
  pollfd p{connection, POLLIN, 0};
  if (::poll(&p, 1, 50) <= 0) return true;
  char buffer[65536];
  const ssize_t got = ::recv(connection, buffer, std::min(limit, sizeof buffer), 0);
  const std::lock_guard lock(mutex_);
  if (got > 0) {
    received_.append(buffer, static_cast<std::size_t>(got));
    lastByteReadAt_ = Clock::now();
    return true;
  }
  if (got == 0) sawEof_ = true;
  else if (errno != EINTR && errno != EAGAIN) sawReset_ = true;
  return got < 0 && (errno == EINTR || errno == EAGAIN);
}

// Takes no byte; waits until the job's side ends the connection.
void LoopbackPrinter::WaitForHangUp(int connection) {
  const auto deadline = Clock::now() + kLifetime;
  while (!stop_ && Clock::now() < deadline) {
    pollfd p{connection, POLLRDHUP, 0};
    if (::poll(&p, 1, 50) <= 0) continue;
    int error = 0;
    socklen_t length = sizeof error;
    ::getsockopt(connection, SOL_SOCKET, SO_ERROR, &error, &length);
    const std::lock_guard lock(mutex_);
    if (error != 0) sawReset_ = true;
    else sawEof_ = true;
    return;
  }
}

// Takes no byte and lets an end of stream pass; waits until the job resets the connection.
void LoopbackPrinter::WaitForReset(int connection) {
  const auto deadline = Clock::now() + kLifetime;
  while (!stop_ && Clock::now() < deadline) {
    pollfd p{connection, 0, 0};  // only POLLERR and POLLHUP: an end of stream is not one
    if (::poll(&p, 1, 50) <= 0) continue;
    const std::lock_guard lock(mutex_);
    sawReset_ = true;
    return;
  }
}

void LoopbackPrinter::Serve(int connection) {
  const auto deadline = Clock::now() + kLifetime;
  auto running = [&] { return !stop_ && Clock::now() < deadline; };
  switch (behaviour_.kind) {
    case PrinterBehaviour::Kind::ReadAll:
      while (running() && ReadSome(connection, 65536)) {
      }
      break;
    case PrinterBehaviour::Kind::ReadSlowly:
      while (running() && ReadSome(connection, behaviour_.chunk))
        std::this_thread::sleep_for(behaviour_.pause);
      break;
    case PrinterBehaviour::Kind::NeverRead:
      WaitForHangUp(connection);
      break;
    case PrinterBehaviour::Kind::ReadAllKeepOpen:
      while (running() && ReadSome(connection, 65536)) {
      }
      while (running()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
      break;
    case PrinterBehaviour::Kind::ReadLate: {
      const auto until = Clock::now() + behaviour_.pause;
      while (running() && Clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      while (running() && ReadSome(connection, 65536)) {
      }
      break;
    }
    case PrinterBehaviour::Kind::Ignore:
      WaitForReset(connection);
      break;
    case PrinterBehaviour::Kind::CloseAfter:
    case PrinterBehaviour::Kind::ResetAfter:
      while (running() && received().size() < behaviour_.afterBytes &&
             ReadSome(connection, behaviour_.afterBytes - received().size())) {
      }
      if (behaviour_.kind == PrinterBehaviour::Kind::ResetAfter) {
        const linger hardClose{1, 0};
        ::setsockopt(connection, SOL_SOCKET, SO_LINGER, &hardClose, sizeof hardClose);
      }
      break;  // Run() closes the connection
  }
}

RefusingPort::RefusingPort() { socket_ = BoundLoopbackSocket(false, 0, port_); }
RefusingPort::~RefusingPort() {
  if (socket_ >= 0) ::close(socket_);
}
std::string RefusingPort::DeviceName() const { return Ipv4Name(port_); }

FullBacklogListener::FullBacklogListener() {
  listener_ = BoundLoopbackSocket(false, 0, port_);
  if (listener_ < 0 || ::listen(listener_, 0) != 0) return;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port_);
  // Connect until one gets no answer: from then on the listener drops every new SYN.
  for (int i = 0; i < 16 && !full_; ++i) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) break;
    fillers_.push_back(fd);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) continue;
    if (errno != EINPROGRESS) break;
    pollfd p{fd, POLLOUT, 0};
    if (::poll(&p, 1, 200) == 0) full_ = true;
  }
}

FullBacklogListener::~FullBacklogListener() {
  for (const int fd : fillers_) ::close(fd);
  if (listener_ >= 0) ::close(listener_);
}

std::string FullBacklogListener::DeviceName() const { return Ipv4Name(port_); }

QuietListener::QuietListener() {
  listener_ = BoundLoopbackSocket(false, 0, port_);
  if (listener_ >= 0 && ::listen(listener_, 16) != 0) {
    ::close(listener_);
    listener_ = -1;
  }
}

QuietListener::~QuietListener() {
  if (listener_ >= 0) ::close(listener_);
}

bool QuietListener::SawAConnection() const {
  pollfd p{listener_, POLLIN, 0};
  return ::poll(&p, 1, 0) > 0;
}

}  // namespace qrticket::testing
