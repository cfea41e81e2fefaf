#include "fd_output.h"

#include <cerrno>

#include "failure_messages.h"

namespace qrticket {
namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits for POLLOUT until `deadline`; false on time-out. Errors on the descriptor return true so
// the next write reports them with their own errno.
bool PollWritable(SystemCalls& sys, int fd, Clock::time_point deadline, std::string_view device) {
  for (;;) {
    pollfd p{fd, POLLOUT, 0};
    const int left = MillisecondsLeft(deadline);
    if (left == 0) return false;
    const int ready = sys.Poll(&p, 1, left);
    if (ready > 0) return true;
    if (ready == 0) continue;  // re-check the clock; the loop ends at the deadline
    if (errno != EINTR) throw failures::FromErrno(errno, device, failures::Stage::Write);
  }
}

}  // namespace

void WriteAll(SystemCalls& sys, int fd, BytesView bytes, std::chrono::milliseconds stall,
              std::string_view device) {
  auto deadline = Clock::now() + stall;
  while (!bytes.empty()) {
    const ssize_t written = sys.Write(fd, bytes.data(), bytes.size());
    if (written > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(written));
      deadline = Clock::now() + stall;  // progress: the stall clock starts again
      continue;
    }
    if (written < 0 && errno == EINTR) continue;
    if (written == 0 || errno == EAGAIN || errno == EWOULDBLOCK) {
      if (!PollWritable(sys, fd, deadline, device)) throw failures::TimedOut(device, stall);
      continue;
    }
    throw failures::FromErrno(errno, device, failures::Stage::Write);
  }
}

void WaitWritable(SystemCalls& sys, int fd, std::chrono::milliseconds stall,
                  std::string_view device) {
  if (!PollWritable(sys, fd, Clock::now() + stall, device)) throw failures::TimedOut(device, stall);
}

}  // namespace qrticket
