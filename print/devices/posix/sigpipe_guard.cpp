// Holding SIGPIPE back around one write(2).
#include "devices/posix/sigpipe_guard.h"

#include <pthread.h>

#include <cerrno>
#include <ctime>

namespace qrticket {
namespace {

sigset_t OnlySigpipe() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGPIPE);
  return set;
}

}  // namespace

SigpipeGuard::SigpipeGuard() {
  const sigset_t pipe = OnlySigpipe();
  sigset_t pending;
  sigemptyset(&pending);
  sigpending(&pending);
  wasPending_ = sigismember(&pending, SIGPIPE) == 1;
  pthread_sigmask(SIG_BLOCK, &pipe, &savedMask_);
}

SigpipeGuard::~SigpipeGuard() {
  const int savedErrno = errno;  // the caller reads errno of the guarded write after this
  if (!wasPending_) {
    const sigset_t pipe = OnlySigpipe();
    sigset_t pending;
    sigemptyset(&pending);
    if (sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1) {
      const timespec now{0, 0};
      while (sigtimedwait(&pipe, nullptr, &now) < 0 && errno == EINTR) {
      }
    }
  }
  pthread_sigmask(SIG_SETMASK, &savedMask_, nullptr);
  errno = savedErrno;
}

}  // namespace qrticket
