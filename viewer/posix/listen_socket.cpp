// The network printer's sockets on POSIX: poll() on each socket and on a self-pipe that Stop()
// writes to and nobody reads, so once stopped every wait ends at once.
#include "listen_socket.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "listen_address.h"
#include "render_report.h"

namespace qrticket::viewer {
namespace {

void CloseQuietly(int& fd) {
  if (fd >= 0) ::close(fd);  // never retried: the descriptor is gone either way
  fd = -1;
}

}  // namespace

struct Connection::Handle {
  int fd = -1;
  int wake = -1;  // the listening socket's self-pipe, readable once stopped
  ~Handle() { CloseQuietly(fd); }
};

struct ListenSocket::Handles {
  int listenFd = -1;
  int wakeRead = -1, wakeWrite = -1;
  ~Handles() {
    CloseQuietly(listenFd);
    CloseQuietly(wakeRead);
    CloseQuietly(wakeWrite);
  }
};

Connection::Connection(std::unique_ptr<Handle> handle, std::string peer)
    : handle_(std::move(handle)), peer_(std::move(peer)) {}

Connection::~Connection() = default;

Connection::Read Connection::ReadSome(char* buffer, std::size_t capacity,
                                      std::chrono::milliseconds idle) {
  for (;;) {
    pollfd fds[2] = {{handle_->fd, POLLIN, 0}, {handle_->wake, POLLIN, 0}};
    const int ready = ::poll(fds, 2, static_cast<int>(idle.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) return {Got::Closed};
    if (fds[1].revents) return {Got::Stopped};
    if (ready == 0) return {Got::Idle};
    const ssize_t n = ::read(handle_->fd, buffer, capacity);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) return {Got::Closed};
    return {Got::Bytes, static_cast<std::size_t>(n)};
  }
}

void Connection::SendBack(BytesView bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    pollfd out{handle_->fd, POLLOUT, 0};
    if (::poll(&out, 1, 1000) <= 0) return;
    const ssize_t n = ::send(handle_->fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    sent += static_cast<std::size_t>(n);
  }
}

ListenSocket::ListenSocket(const std::string& address, int port)
    : handles_(std::make_unique<Handles>()) {
  const AddressList found = ListenAddresses(address, port);
  int error = 0;
  int& listenFd = handles_->listenFd;
  for (addrinfo* a = found.get(); a && listenFd < 0; a = a->ai_next) {
    int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) {
      error = errno;
      continue;
    }
    const int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (::bind(fd, a->ai_addr, a->ai_addrlen) == 0 && ::listen(fd, 64) == 0) {
      listenFd = fd;
    } else {
      error = errno;
      CloseQuietly(fd);
    }
  }
  if (listenFd < 0) {
    throw ListenError(say::ListenFailed(address, port, say::SystemError(error)));
  }
  sockaddr_storage bound{};
  socklen_t length = sizeof bound;
  ::getsockname(listenFd, reinterpret_cast<sockaddr*>(&bound), &length);
  port_ = PortOf(bound);
  address_ = Endpoint(bound, static_cast<int>(length));
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
    throw ListenError(say::ListenFailed(address, port, say::SystemError(errno)));
  }
  handles_->wakeRead = pipeFds[0];
  handles_->wakeWrite = pipeFds[1];
}

ListenSocket::~ListenSocket() = default;

void ListenSocket::Stop() noexcept {
  const char byte = 1;
  [[maybe_unused]] const auto ignored = ::write(handles_->wakeWrite, &byte, 1);
}

bool ListenSocket::Stopped() const noexcept {
  pollfd wake{handles_->wakeRead, POLLIN, 0};
  return ::poll(&wake, 1, 0) > 0;
}

std::unique_ptr<Connection> ListenSocket::Accept(std::chrono::milliseconds wait) {
  pollfd fds[2] = {{handles_->listenFd, POLLIN, 0}, {handles_->wakeRead, POLLIN, 0}};
  if (::poll(fds, 2, static_cast<int>(wait.count())) <= 0) return nullptr;
  if (fds[1].revents || !(fds[0].revents & POLLIN)) return nullptr;
  sockaddr_storage peer{};
  socklen_t peerLength = sizeof peer;
  const int fd = ::accept4(handles_->listenFd, reinterpret_cast<sockaddr*>(&peer), &peerLength,
                           SOCK_CLOEXEC);
  if (fd < 0) return nullptr;  // the peer left before we took it; wait for the next
  auto handle = std::make_unique<Connection::Handle>();
  handle->fd = fd;
  handle->wake = handles_->wakeRead;
  return std::make_unique<Connection>(std::move(handle),
                                      Endpoint(peer, static_cast<int>(peerLength)));
}

}  // namespace qrticket::viewer
