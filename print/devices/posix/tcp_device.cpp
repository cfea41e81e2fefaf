// The TCP transport: bounded connect, send without SIGPIPE, close only once delivered.
#include "devices/tcp_device.h"

#include <linux/sockios.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <utility>

#include "devices/connect_attempts.h"
#include "devices/deadline.h"
#include "devices/posix/cancellation.h"
#include "devices/device_failures.h"
#include "devices/posix/fd_output.h"
#include "devices/posix/host_resolution.h"

namespace qrticket {
namespace {

using Clock = std::chrono::steady_clock;
using failures::Stage;

class TcpDevice final : public OutputDevice {
 public:
  TcpDevice(SystemCalls& sys, int fd, std::string device, const ChannelOptions& options)
      : sys_(sys),
        fd_(fd),
        device_(std::move(device)),
        stall_(options.stallTimeout),
        cancelFd_(options.cancelFd) {}

  TcpDevice(const TcpDevice&) = delete;
  TcpDevice& operator=(const TcpDevice&) = delete;

  ~TcpDevice() override {
    if (fd_ >= 0) Abort();
  }

  void Write(BytesView bytes) override { WriteAll(sys_, Output(), bytes); }

  void Close() override {
    try {
      Deliver();
    } catch (const PrintFailure&) {
      Abort();
      throw;
    }
    // Everything was acknowledged; a close error could only concern bytes already delivered.
    sys_.Close(fd_);
    fd_ = -1;
  }

 private:
  FdOutput Output() const {
    return {.fd = fd_, .device = device_, .stall = stall_, .socket = true,
            .queueShowsProgress = true, .cancelFd = cancelFd_};
  }

  void Deliver() {
    if (sys_.Shutdown(fd_, SHUT_WR) != 0) throw LostOrErrno(errno);
    // Sent but not yet acknowledged, our FIN included.
    WaitUntilDrained(sys_, Output(), [this] {
      ReadWhatThePeerSent();
      int unacknowledged = 0;
      if (sys_.IoctlInt(fd_, SIOCOUTQ, &unacknowledged) != 0) throw LostOrErrno(errno);
      return unacknowledged;
    });
    // The printer has every byte; its own close shows that it has also read them.
    const auto deadline = Clock::now() + kPeerCloseWait;
    while (!peerClosed_) {
      const int left = MillisecondsLeft(deadline);
      if (left == 0) return;
      pollfd p{fd_, POLLIN, 0};
      if (PollOrCancel(sys_, &p, 1, cancelFd_, left) < 0 && errno != EINTR)
        throw LostOrErrno(errno);
      ReadWhatThePeerSent();
    }
  }

  // Printers may send status bytes; they are read and dropped, so that our close does not turn
  // into a reset over unread data. Notes the printer's close; a reset throws. Reads at most
  // kMostReadPerCall bytes a call: a printer that never stops sending (a flood of automatic
  // status) must not keep the job here, past the bounds of the waits that call this.
  void ReadWhatThePeerSent() {
    char buffer[4096];
    for (std::size_t taken = 0; taken < kMostReadPerCall;) {
      const ssize_t got = sys_.Recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
      if (got > 0) {
        taken += static_cast<std::size_t>(got);
        continue;
      }
      if (got == 0) {
        peerClosed_ = true;
        return;
      }
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) return;
      throw LostOrErrno(errno);
    }
  }

  static constexpr std::size_t kMostReadPerCall = 64 * 1024;

  PrintFailure LostOrErrno(int error) const {
    return failures::FromErrno(error, device_, Stage::Close);
  }

  // Closes with a reset: nothing still queued is sent later.
  void Abort() {
    const linger hardClose{1, 0};
    sys_.SetSockOpt(fd_, SOL_SOCKET, SO_LINGER, &hardClose, sizeof hardClose);
    sys_.Close(fd_);
    fd_ = -1;
  }

  SystemCalls& sys_;
  int fd_;
  std::string device_;
  std::chrono::milliseconds stall_;
  int cancelFd_;
  bool peerClosed_ = false;
};

// Closes a descriptor it owns unless released.
class OwnedSocket final {
 public:
  OwnedSocket(SystemCalls& sys, int fd) : sys_(sys), fd_(fd) {}
  ~OwnedSocket() {
    if (fd_ >= 0) sys_.Close(fd_);
  }
  OwnedSocket(const OwnedSocket&) = delete;
  OwnedSocket& operator=(const OwnedSocket&) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  SystemCalls& sys_;
  int fd_;
};

// One non-blocking connect, waited for until `deadline`. `error` gets the errno of a failure.
Attempt ConnectOnce(SystemCalls& sys, int fd, const SocketAddress& address,
                    Clock::time_point deadline, int cancelFd, int& error) {
  if (sys.Connect(fd, address.get(), address.length) == 0) return Attempt::Connected;
  error = errno;
  // After EINTR the connection goes on being established in the background, as with
  // EINPROGRESS: wait for it the same way.
  if (error != EINPROGRESS && error != EINTR)
    return error == ECONNREFUSED ? Attempt::Refused : Attempt::OtherError;
  for (;;) {
    const int left = MillisecondsLeft(deadline);
    if (left == 0) return Attempt::TimedOut;
    pollfd p{fd, POLLOUT, 0};
    const int ready = PollOrCancel(sys, &p, 1, cancelFd, left);
    if (ready > 0) break;
    if (ready < 0 && errno != EINTR) {
      error = errno;
      return Attempt::OtherError;
    }
  }
  int result = 0;
  socklen_t length = sizeof result;
  if (sys.GetSockOpt(fd, SOL_SOCKET, SO_ERROR, &result, &length) != 0) result = errno;
  error = result;
  if (result == 0) return Attempt::Connected;
  if (result == ECONNREFUSED) return Attempt::Refused;
  if (result == ETIMEDOUT) return Attempt::TimedOut;
  return Attempt::OtherError;
}

}  // namespace

int ConnectTcpSocket(const DeviceTarget& target, std::string_view device,
                     const ChannelOptions& options, SystemCalls& sys) {
  const auto deadline = Clock::now() + options.connectTimeout;
  const std::vector<SocketAddress> addresses =
      ResolveHost(target.host, target.port, target.bracketed, device, deadline,
                  options.connectTimeout, sys, options.cancelFd);

  ConnectAttempts attempts(device, options.connectTimeout);
  for (const SocketAddress& address : addresses) {
    OwnedSocket socket(sys, sys.Socket(address.family,
                                       SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (socket.get() < 0) {
      attempts.Failed(Attempt::OtherError, errno);
      continue;
    }
    int error = 0;
    const Attempt attempt =
        ConnectOnce(sys, socket.get(), address, deadline, options.cancelFd, error);
    if (attempt == Attempt::Connected) return socket.release();
    attempts.Failed(attempt, error);
  }
  attempts.ThrowIfRefused();
  throw failures::FromErrno(attempts.firstError().value_or(EHOSTUNREACH), device, Stage::Open);
}

std::unique_ptr<OutputDevice> OpenTcpDevice(const DeviceTarget& target, std::string_view device,
                                            const ChannelOptions& options, SystemCalls& sys) {
  return std::make_unique<TcpDevice>(sys, ConnectTcpSocket(target, device, options, sys),
                                     std::string(device), options);
}

}  // namespace qrticket
