// Ctrl+C, SIGTERM and SIGHUP during a job: the job ends as a failed job and releases the device
// (a network connection is reset, a terminal gets its settings back, claims are dropped)
// instead of the process dying in the middle of it.
#pragma once

namespace qrticket::cli {

// While one exists, SIGINT, SIGTERM and SIGHUP make cancelFd() readable; the job watches it
// (ChannelOptions::cancelFd) in every wait. On Windows (win/signal_watch.cpp) Ctrl+C and
// Ctrl+Break count as SIGINT, closing the console as SIGHUP, log-off and shutdown as SIGTERM,
// and cancelFd() is a cancel event's number. Handlers run without SA_RESTART, so a write that
// blocks returns EINTR as well. A second signal, for an operator who insists, ends the process
// at once with the signal's default effect; on POSIX after putting back the serial line a job
// had set (devices/posix/changed_lines.h) and saying so on standard error. A signal that was
// ignored when the program started (nohup, a shell's background job) stays ignored. One at a
// time per process.
class SignalWatch final {
 public:
  SignalWatch();   // without a pipe to spare, the signals keep their default action
  ~SignalWatch();  // puts the previous actions back

  SignalWatch(const SignalWatch&) = delete;
  SignalWatch& operator=(const SignalWatch&) = delete;

  // -1 when the signals could not be watched.
  int cancelFd() const { return readEnd_; }
  // The first of the signals that came, 0 while none has.
  static int CaughtSignal();

 private:
  int readEnd_ = -1;
  int writeEnd_ = -1;
};

}  // namespace qrticket::cli
