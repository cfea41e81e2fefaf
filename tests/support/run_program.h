// Running other programs from tests (cupsd, lpadmin, qrticket, qrticket-view), every wait
// bounded and every child ended by its own process id.
#pragma once

#include <sys/types.h>

#include <csignal>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qrticket::testing {

// Environment changes for a child: a value sets the variable, nullopt removes it.
using EnvironmentChanges = std::map<std::string, std::optional<std::string>>;

struct ProgramRun {
  int exitCode = -1;  // 128 + signal when it was killed; -1 when it could not start
  std::string out;
  std::string err;
  std::chrono::milliseconds elapsed{0};
  bool timedOut = false;  // killed after the bound
};

// Runs `argv` (argv[0] a path or a name looked up in PATH) with stdin from /dev/null, in
// `workingDir` when one is given. Kills it once `bound` has passed.
ProgramRun RunProgram(const std::vector<std::string>& argv, const EnvironmentChanges& env = {},
                      std::chrono::milliseconds bound = std::chrono::seconds(30),
                      const std::filesystem::path& workingDir = {});

// A program left running: its output goes to files, and it is stopped (SIGTERM, then SIGKILL
// after `stopBound`) when the object goes.
class BackgroundProgram {
 public:
  BackgroundProgram(const std::vector<std::string>& argv, const std::filesystem::path& outFile,
                    const std::filesystem::path& errFile, const EnvironmentChanges& env = {},
                    const std::filesystem::path& workingDir = {});
  ~BackgroundProgram();
  BackgroundProgram(const BackgroundProgram&) = delete;
  BackgroundProgram& operator=(const BackgroundProgram&) = delete;

  bool started() const { return pid_ > 0; }
  // True while it runs; reaps it when it has ended.
  bool Running();
  // The wait status once Running() has seen it end by itself; nullopt before, or when Stop()
  // ended it.
  std::optional<int> EndStatus() const { return endStatus_; }
  // SIGTERM (or `signal`), a bounded wait, then SIGKILL. Returns the wait status, or nullopt if
  // it was already gone or had to be killed.
  std::optional<int> Stop(std::chrono::milliseconds bound = std::chrono::seconds(10),
                          int signal = SIGTERM);

 private:
  pid_t pid_ = -1;
  std::optional<int> endStatus_;
};

// Polls `condition` every 20 ms until it holds or `bound` passes; returns the condition.
bool PollUntil(const std::function<bool()>& condition, std::chrono::milliseconds bound);

// A loopback port nothing listens on at the moment (bound, read, released).
int FreeLoopbackPort();

// Whether `signal` waits to be delivered to process `pid`: the same signal sent again before
// then would be delivered once.
bool SignalPending(pid_t pid, int signal);

}  // namespace qrticket::testing
