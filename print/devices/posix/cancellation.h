// Stopping a job from outside: every wait of the channel also watches a cancel descriptor,
// which a front end makes readable (a signal handler writing to a pipe) to end the job.
#pragma once

#include <poll.h>

#include "devices/system_calls.h"

namespace qrticket {

// poll(2) on `fds` that also watches `cancelFd` (when it is 0 or more). Throws PrintFailure
// (interrupted) once `cancelFd` is readable; otherwise returns what poll returns, with the
// revents of `fds` filled in and errno as poll left it (EINTR included, so callers keep their
// own loop and deadline). With no fds it is a sleep that a cancel cuts short.
int PollOrCancel(SystemCalls& sys, pollfd* fds, nfds_t count, int cancelFd, int timeoutMs);

// Throws PrintFailure (interrupted) when `cancelFd` is readable; for after an EINTR that did
// not come through a poll.
void ThrowIfCancelled(SystemCalls& sys, int cancelFd);

}  // namespace qrticket
