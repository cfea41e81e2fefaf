// The real qrticket binary, started with posix_spawn.
#include "command_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include "job_runner.h"
#include "temp_dir.h"

extern char** environ;

namespace qrticket::testing {

CommandRun RunQrticket(const std::vector<std::string>& args, const CommandSetup& setup) {
  TempDir dir;
  const std::string outPath = dir.File("out"), errPath = dir.File("err");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (setup.stdoutFd >= 0) {
    posix_spawn_file_actions_adddup2(&actions, setup.stdoutFd, 1);
  } else {
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT, 0600);
  }
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT, 0600);
  std::vector<std::string> all = {QRTICKET_BINARY};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t child = -1;
  CommandRun run;
  const int spawned = posix_spawn(&child, QRTICKET_BINARY, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    ADD_FAILURE() << "cannot start " << QRTICKET_BINARY;
    return run;
  }
  if (setup.whileRunning) setup.whileRunning(child);
  const std::optional<int> ended = WaitForChild(child, std::chrono::seconds(20));
  if (!ended) {
    ADD_FAILURE() << "qrticket did not end";
    return run;
  }
  const int status = *ended;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.killed = WIFSIGNALED(status);
  run.out = ReadFileBytes(outPath);
  run.err = ReadFileBytes(errPath);
  return run;
}

}  // namespace qrticket::testing
