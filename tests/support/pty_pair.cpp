// Pseudo-terminal pairs for the device tests.
#include "pty_pair.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace qrticket::testing {

PtyPair::PtyPair() {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
    throw std::runtime_error("no pseudo-terminal");
  char name[128];
  if (::ptsname_r(master_, name, sizeof name) != 0) throw std::runtime_error("no ptsname");
  slavePath_ = name;
}

PtyPair::~PtyPair() { CloseMaster(); }

void PtyPair::CloseMaster() {
  if (master_ >= 0) ::close(master_);
  master_ = -1;
}

std::string PtyPair::ReadMaster(std::size_t count, std::chrono::milliseconds bound) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + bound;
  std::string bytes;
  char buffer[4096];
  while (bytes.size() < count && Clock::now() < deadline) {
    pollfd p{master_, POLLIN, 0};
    if (::poll(&p, 1, 20) <= 0) continue;
    const ssize_t got = ::read(master_, buffer, std::min(sizeof buffer, count - bytes.size()));
    if (got > 0) bytes.append(buffer, static_cast<std::size_t>(got));
    else if (got == 0 || errno != EINTR) break;  // EIO: no slave open any more
  }
  return bytes;
}

}  // namespace qrticket::testing
