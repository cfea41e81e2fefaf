// Writing to a pipe, FIFO or socket whose reader has gone raises SIGPIPE, which kills a process
// that has not ignored it. The desktop program must not depend on a process-wide setting, so
// every write(2) of the channel runs with SIGPIPE held back in the calling thread.
#pragma once

#include <signal.h>

namespace qrticket {

class SigpipeGuard final {
 public:
  // Blocks SIGPIPE in this thread.
  SigpipeGuard();
  // Discards a SIGPIPE that the guarded write raised (reported as EPIPE instead) and restores
  // the thread's signal mask. A SIGPIPE that was already pending before is left alone.
  ~SigpipeGuard();

  SigpipeGuard(const SigpipeGuard&) = delete;
  SigpipeGuard& operator=(const SigpipeGuard&) = delete;

 private:
  sigset_t savedMask_{};
  bool wasPending_ = false;
};

}  // namespace qrticket
