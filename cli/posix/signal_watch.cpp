// The signal handlers write one byte to a pipe: the one thing a handler may safely do that a
// poll elsewhere can see.
#include "signal_watch.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <iterator>

#include "devices/posix/changed_lines.h"

namespace qrticket::cli {
namespace {

constexpr int kWatched[] = {SIGINT, SIGTERM, SIGHUP};

volatile std::sig_atomic_t caught = 0;
int wakeFd = -1;
struct sigaction previous[std::size(kWatched)];

constexpr char kEndedAtOnce[] = "qrticket: segundo sinal: termina já\n";
constexpr char kEndedLinePutBack[] =
    "qrticket: segundo sinal: termina já; a porta série voltou às suas definições\n";

// A second signal while the first is being acted on: the operator (or `timeout`, which
// signals the process and then its group) will not wait. The process ends at once with the
// signal's default effect, but only after putting back a serial line the job had changed,
// which nothing could do once the process is gone.
void EndAtOnce(int signal) {
  const bool putBack = RestoreChangedLines() > 0;
  const char* text = putBack ? kEndedLinePutBack : kEndedAtOnce;
  const std::size_t length = putBack ? sizeof kEndedLinePutBack - 1 : sizeof kEndedAtOnce - 1;
  ssize_t ignored = ::write(STDERR_FILENO, text, length);
  (void)ignored;
  struct sigaction byDefault {};
  byDefault.sa_handler = SIG_DFL;
  sigemptyset(&byDefault.sa_mask);
  ::sigaction(signal, &byDefault, nullptr);
  ::raise(signal);  // delivered as the handler returns
}

void OnSignal(int signal) {
  const int savedErrno = errno;
  if (caught != 0) {
    EndAtOnce(signal);
    errno = savedErrno;
    return;
  }
  caught = signal;
  const char byte = 1;
  ssize_t ignored = ::write(wakeFd, &byte, 1);  // non-blocking: a full pipe is awake already
  (void)ignored;
  errno = savedErrno;
}

}  // namespace

SignalWatch::SignalWatch() {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  readEnd_ = fds[0];
  writeEnd_ = fds[1];
  wakeFd = writeEnd_;
  caught = 0;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: a blocked write returns EINTR
  for (std::size_t i = 0; i < std::size(kWatched); ++i) {
    ::sigaction(kWatched[i], nullptr, &previous[i]);
    // A signal the caller ignores stays ignored (nohup, a shell's background jobs).
    if (previous[i].sa_handler != SIG_IGN) ::sigaction(kWatched[i], &action, nullptr);
  }
}

SignalWatch::~SignalWatch() {
  if (readEnd_ < 0) return;
  for (std::size_t i = 0; i < std::size(kWatched); ++i)
    ::sigaction(kWatched[i], &previous[i], nullptr);
  wakeFd = -1;
  ::close(readEnd_);
  ::close(writeEnd_);
}

int SignalWatch::CaughtSignal() { return caught; }

}  // namespace qrticket::cli
