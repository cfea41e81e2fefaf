// Ctrl+C, Ctrl+Break and the console's close on Windows: the console calls our handler on a
// thread of its own, which sets the cancel event that every wait of the device layer watches
// (cancel_event.h). The job then fails as interrupted and lets go of the device as after any
// failure: a pending write is cancelled, a network connection reset, a spooler job deleted.
#include "signal_watch.h"

#include <windows.h>

#include <atomic>
#include <ostream>

#include "devices/win/cancel_event.h"
#include "devices/win/changed_lines.h"
#include "process_setup.h"

namespace qrticket::cli {
namespace {

// The POSIX signal numbers that the exit codes name (128 + N), as Linux's build reports them.
constexpr int kSigHup = 1;
constexpr int kSigInt = 2;
constexpr int kSigTerm = 15;

// Windows ends the process this long after a close, log-off or shutdown event reaches us.
constexpr DWORD kCloseGraceMs = 4500;

std::atomic<int> caught{0};
std::atomic<bool> watching{false};
bool handlerInstalled = false;
HANDLE cancelEvent = nullptr;

int SignalFor(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
      return kSigInt;
    case CTRL_CLOSE_EVENT:  // the console window was closed: the terminal went away
      return kSigHup;
    default:  // log-off, shutdown
      return kSigTerm;
  }
}

// A second event while the first is being acted on: the operator will not wait. The program
// ends at once (the default effect, which this handler's FALSE hands on to), but only after
// putting back a serial port the job had set, which Windows would leave at the job's settings.
BOOL EndAtOnce() {
  const bool putBack = RestoreChangedLines() > 0;
  StandardError() << (putBack ? "qrticket: segundo sinal: termina já; a porta série voltou às "
                                "suas definições\n"
                              : "qrticket: segundo sinal: termina já\n")
                  << std::flush;
  return FALSE;
}

BOOL WINAPI OnConsoleEvent(DWORD event) {
  // Once the job is over the program is ending with its own exit code, which the console's
  // default handling must not replace (Wine's ends the process with 0, after a failure).
  if (!watching) return TRUE;
  int none = 0;
  if (!caught.compare_exchange_strong(none, SignalFor(event))) return EndAtOnce();
  ::SetEvent(cancelEvent);
  // After a close, log-off or shutdown the process ends as soon as this returns: give the job
  // time to let go of the device. The program's own end cuts this short.
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) ::Sleep(kCloseGraceMs);
  return TRUE;
}

}  // namespace

SignalWatch::SignalWatch() {
  cancelEvent = ::CreateEventW(nullptr, /*manualReset=*/TRUE, FALSE, nullptr);
  if (cancelEvent == nullptr) return;
  caught = 0;
  // A console that ignores Ctrl+C for this process (started with it ignored) never calls us.
  if (!handlerInstalled && !::SetConsoleCtrlHandler(OnConsoleEvent, TRUE)) {
    ::CloseHandle(cancelEvent);
    cancelEvent = nullptr;
    return;
  }
  handlerInstalled = true;
  watching = true;
  readEnd_ = CancelNumber(cancelEvent);
}

// The handler stays installed, and takes what comes later as already acted on.
SignalWatch::~SignalWatch() {
  if (readEnd_ < 0) return;
  watching = false;
  ::CloseHandle(cancelEvent);
  cancelEvent = nullptr;
}

int SignalWatch::CaughtSignal() { return caught; }

}  // namespace qrticket::cli
