// Running the real qrticket binary from a device test.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace qrticket::testing {

struct CommandRun {
  int exitCode = -1;  // 128 + the signal when a signal ended it
  bool killed = false;  // a signal ended it (rather than an exit with that code)
  std::string out;
  std::string err;
};

struct CommandSetup {
  int stdoutFd = -1;  // standard output; a file of the runner's when -1
  // Called while the command runs (with its process id), before the runner waits for its end:
  // for a test that signals it once it is waiting on its device.
  std::function<void(pid_t)> whileRunning = nullptr;
};

// Runs qrticket with `args` (standard input /dev/null), stdout and stderr captured; killed
// after 20 s.
CommandRun RunQrticket(const std::vector<std::string>& args, const CommandSetup& setup = {});

}  // namespace qrticket::testing
