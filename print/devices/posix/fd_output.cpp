// Short writes, EINTR, EAGAIN and bounded waits, the same for every transport.
#include "devices/posix/fd_output.h"

#include <limits.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>

#include "devices/deadline.h"
#include "devices/posix/cancellation.h"
#include "devices/device_failures.h"
#include "devices/posix/sigpipe_guard.h"

namespace qrticket {
namespace {

using Clock = std::chrono::steady_clock;

// How often a wait looks at the output queue for progress.
constexpr int kQueueCheckMs = 20;
// DTR/DSR flow control: the piece written at a time, and how often DSR is looked at.
constexpr std::size_t kDsrPiece = 32;
constexpr int kDsrCheckMs = 5;

// Bytes the device still holds, or -1 when it cannot tell.
int QueuedBytes(SystemCalls& sys, int fd) {
  int queued = 0;
  return sys.IoctlInt(fd, TIOCOUTQ, &queued) == 0 ? queued : -1;  // SIOCOUTQ is TIOCOUTQ
}

// Waits for POLLOUT until `deadline`; false on time-out. When the output queue shrinks the
// deadline moves on. Errors on the descriptor return true so the next write reports them with
// their own errno.
bool PollWritable(SystemCalls& sys, const FdOutput& out, Clock::time_point& deadline) {
  int lastQueued = out.queueShowsProgress ? QueuedBytes(sys, out.fd) : -1;
  for (;;) {
    pollfd p{out.fd, POLLOUT, 0};
    int left = MillisecondsLeft(deadline);
    if (left == 0) return false;
    if (out.queueShowsProgress) left = std::min(left, kQueueCheckMs);
    const int ready = PollOrCancel(sys, &p, 1, out.cancelFd, left);
    if (ready > 0) return true;
    if (ready < 0 && errno != EINTR)
      throw failures::FromErrno(errno, out.device, failures::Stage::Write);
    if (out.queueShowsProgress) {
      const int queued = QueuedBytes(sys, out.fd);
      if (queued >= 0 && queued < lastQueued) deadline = Clock::now() + out.stall;
      lastQueued = queued;
    }
  }
}

// Waits until DSR is up and the queue holds less than a piece; false once `deadline` passes.
// A shrinking queue is progress and moves the deadline on.
bool WaitForDsr(SystemCalls& sys, const FdOutput& out, Clock::time_point& deadline) {
  int lastQueued = QueuedBytes(sys, out.fd);
  for (;;) {
    int lines = 0;
    if (sys.IoctlInt(out.fd, TIOCMGET, &lines) != 0)
      throw failures::FromErrno(errno, out.device, failures::Stage::Write);
    const int queued = QueuedBytes(sys, out.fd);
    if (queued < lastQueued) deadline = Clock::now() + out.stall;
    lastQueued = queued;
    if ((lines & TIOCM_DSR) != 0 && queued < static_cast<int>(kDsrPiece)) return true;
    const int left = MillisecondsLeft(deadline);
    if (left == 0) return false;
    PollOrCancel(sys, nullptr, 0, out.cancelFd, std::min(left, kDsrCheckMs));
  }
}

ssize_t WriteOnce(SystemCalls& sys, const FdOutput& out, BytesView bytes) {
  if (out.socket)
    return sys.Send(out.fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
  if (out.sharedBlocking) bytes = bytes.substr(0, PIPE_BUF);
  const SigpipeGuard guard;
  return sys.Write(out.fd, bytes.data(), bytes.size());
}

}  // namespace

void WriteAll(SystemCalls& sys, const FdOutput& out, BytesView bytes) {
  auto deadline = Clock::now() + out.stall;
  bool pollSaidReady = false;
  while (!bytes.empty()) {
    // A blocking descriptor is written to only once it has reported room.
    if (out.sharedBlocking && !pollSaidReady) {
      if (!PollWritable(sys, out, deadline)) throw failures::TimedOut(out.device, out.stall);
      pollSaidReady = true;
    }
    if (out.watchDsr && !WaitForDsr(sys, out, deadline))
      throw failures::TimedOut(out.device, out.stall);
    const ssize_t written = WriteOnce(sys, out, out.watchDsr ? bytes.substr(0, kDsrPiece) : bytes);
    if (written > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(written));
      deadline = Clock::now() + out.stall;  // progress: the stall clock starts again
      pollSaidReady = false;
      continue;
    }
    if (written < 0 && errno == EINTR) {
      ThrowIfCancelled(sys, out.cancelFd);
      continue;
    }
    if (written == 0 || errno == EAGAIN || errno == EWOULDBLOCK) {
      // Some drivers (the parallel port's) have no poll of their own and always say "ready";
      // a refusal right after "ready" pauses, so a printer off line does not spin the CPU.
      if (pollSaidReady)
        PollOrCancel(sys, nullptr, 0, out.cancelFd,
                     std::min(MillisecondsLeft(deadline), kQueueCheckMs));
      if (!PollWritable(sys, out, deadline)) throw failures::TimedOut(out.device, out.stall);
      pollSaidReady = true;
      continue;
    }
    throw failures::FromErrno(errno, out.device, failures::Stage::Write);
  }
}

void WaitWritable(SystemCalls& sys, const FdOutput& out) {
  auto deadline = Clock::now() + out.stall;
  if (!PollWritable(sys, out, deadline)) throw failures::TimedOut(out.device, out.stall);
}

void WaitUntilDrained(SystemCalls& sys, const FdOutput& out, const std::function<int()>& queued) {
  auto deadline = Clock::now() + out.stall;
  int last = queued();
  while (last > 0) {
    const int left = MillisecondsLeft(deadline);
    if (left == 0) throw failures::TimedOut(out.device, out.stall);
    PollOrCancel(sys, nullptr, 0, out.cancelFd, std::min(left, kQueueCheckMs));
    const int now = queued();
    if (now != last) deadline = Clock::now() + out.stall;
    last = now;
  }
}

}  // namespace qrticket
