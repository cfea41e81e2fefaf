// Waits that a cancel descriptor cuts short.
#include "devices/posix/cancellation.h"

#include <array>
#include <cerrno>

#include "devices/device_failures.h"

namespace qrticket {

int PollOrCancel(SystemCalls& sys, pollfd* fds, nfds_t count, int cancelFd, int timeoutMs) {
  if (cancelFd < 0) return sys.Poll(fds, count, timeoutMs);
  // Our waits watch at most one descriptor of their own.
  std::array<pollfd, 3> all{};
  if (count > all.size() - 1) count = all.size() - 1;
  for (nfds_t i = 0; i < count; ++i) all[i] = fds[i];
  all[count] = pollfd{cancelFd, POLLIN, 0};
  const int ready = sys.Poll(all.data(), count + 1, timeoutMs);
  const int error = errno;
  if (ready > 0 && (all[count].revents & (POLLIN | POLLHUP | POLLERR)) != 0)
    throw failures::Interrupted();
  if (ready < 0 && error == EINTR) ThrowIfCancelled(sys, cancelFd);
  for (nfds_t i = 0; i < count; ++i) fds[i].revents = all[i].revents;
  errno = error;
  return ready;
}

void ThrowIfCancelled(SystemCalls& sys, int cancelFd) {
  if (cancelFd < 0) return;
  const int savedErrno = errno;
  pollfd p{cancelFd, POLLIN, 0};
  int ready;
  do ready = sys.Poll(&p, 1, 0);
  while (ready < 0 && errno == EINTR);
  if (ready > 0 && (p.revents & (POLLIN | POLLHUP | POLLERR)) != 0) throw failures::Interrupted();
  errno = savedErrno;
}

}  // namespace qrticket
