// Bounded sending and receiving for status requests.
#include "status/posix/fd_status_link.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "devices/deadline.h"
#include "devices/posix/cancellation.h"
#include "devices/device_failures.h"
#include "devices/posix/fd_output.h"

namespace qrticket {

FdStatusLink::FdStatusLink(SystemCalls& sys, int fd, std::string device, bool socket,
                           int cancelFd)
    : sys_(sys), fd_(fd), device_(std::move(device)), socket_(socket), cancelFd_(cancelFd) {}

FdStatusLink::~FdStatusLink() { CloseNow(); }

void FdStatusLink::CloseNow() {
  if (fd_ < 0) return;
  BeforeClose();
  sys_.Close(fd_);  // never retried: the descriptor is gone either way
  fd_ = -1;
}

bool FdStatusLink::Send(BytesView bytes, Clock::time_point deadline) {
  const int left = MillisecondsLeft(deadline);
  if (left == 0) return false;
  const FdOutput out{.fd = fd_, .device = device_, .stall = std::chrono::milliseconds(left),
                     .socket = socket_, .queueShowsProgress = false, .cancelFd = cancelFd_};
  try {
    WriteAll(sys_, out, bytes);
  } catch (const PrintFailure& failure) {
    if (failure.code() == FailureCode::TimedOut) return false;
    throw;
  }
  return true;
}

bool FdStatusLink::Receive(Bytes& into, Clock::time_point deadline) {
  char buffer[256];
  while (!ended_) {
    const ssize_t got = socket_ ? sys_.Recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT)
                                : ::read(fd_, buffer, sizeof buffer);
    if (got > 0) {
      into.append(buffer, static_cast<std::size_t>(got));
      answered_ = true;
      // A device that never stops sending (/dev/zero, a flood) never reaches the poll below:
      // the cancel is looked at here too.
      ThrowIfCancelled(sys_, cancelFd_);
      return true;
    }
    if (got == 0) {
      ended_ = true;
      AtEndOfInput();
      return false;
    }
    if (errno == EINTR) continue;
    if (errno == EINVAL && !socket_) {  // a driver that cannot read back (a one-way USB printer)
      ended_ = true;
      AtEndOfInput();
      return false;
    }
    if (errno != EAGAIN && errno != EWOULDBLOCK)
      throw failures::FromErrno(errno, device_, failures::Stage::Write);
    const int left = MillisecondsLeft(deadline);
    if (left == 0) return false;
    pollfd p{fd_, POLLIN, 0};
    if (PollOrCancel(sys_, &p, 1, cancelFd_, left) < 0 && errno != EINTR)
      throw failures::FromErrno(errno, device_, failures::Stage::Write);
  }
  return false;
}

}  // namespace qrticket
