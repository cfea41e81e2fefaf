// Child processes for tests: posix_spawn with files for the output, bounded waits.
#include "run_program.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "temp_dir.h"

extern char** environ;

namespace qrticket::testing {
namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> ChangedEnvironment(const EnvironmentChanges& changes) {
  std::vector<std::string> result;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    const std::string name = text.substr(0, text.find('='));
    if (!changes.contains(name)) result.push_back(text);
  }
  for (const auto& [name, value] : changes)
    if (value) result.push_back(name + "=" + *value);
  return result;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (auto& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

pid_t Spawn(const std::vector<std::string>& argv, const std::string& outPath,
            const std::string& errPath, const EnvironmentChanges& env,
            const std::filesystem::path& workingDir) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  if (!workingDir.empty()) posix_spawn_file_actions_addchdir_np(&actions, workingDir.c_str());
  std::vector<std::string> args = argv;
  std::vector<std::string> environment = ChangedEnvironment(env);
  pid_t pid = -1;
  const int error = ::posix_spawnp(&pid, args.front().c_str(), &actions, nullptr,
                                   Pointers(args).data(), Pointers(environment).data());
  posix_spawn_file_actions_destroy(&actions);
  return error == 0 ? pid : -1;
}

// Waits for `pid` until `bound`; kills it after that. nullopt when it had to be killed.
std::optional<int> Reap(pid_t pid, std::chrono::milliseconds bound) {
  const auto deadline = Clock::now() + bound;
  int status = 0;
  while (::waitpid(pid, &status, WNOHANG) == 0) {
    if (Clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      return std::nullopt;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return status;
}

}  // namespace

ProgramRun RunProgram(const std::vector<std::string>& argv, const EnvironmentChanges& env,
                      std::chrono::milliseconds bound, const std::filesystem::path& workingDir) {
  TempDir dir;
  const std::string outPath = dir.File("out"), errPath = dir.File("err");
  ProgramRun run;
  const auto start = Clock::now();
  const pid_t pid = Spawn(argv, outPath, errPath, env, workingDir);
  if (pid < 0) return run;
  const std::optional<int> status = Reap(pid, bound);
  run.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
  run.timedOut = !status;
  if (status) {
    run.exitCode = WIFEXITED(*status) ? WEXITSTATUS(*status) : 128 + WTERMSIG(*status);
  } else {
    run.exitCode = 128 + SIGKILL;
  }
  run.out = ReadFileBytes(outPath);
  run.err = ReadFileBytes(errPath);
  return run;
}

BackgroundProgram::BackgroundProgram(const std::vector<std::string>& argv,
                                     const std::filesystem::path& outFile,
                                     const std::filesystem::path& errFile,
                                     const EnvironmentChanges& env,
                                     const std::filesystem::path& workingDir)
    : pid_(Spawn(argv, outFile.string(), errFile.string(), env, workingDir)) {}

BackgroundProgram::~BackgroundProgram() { Stop(); }

bool BackgroundProgram::Running() {
  if (pid_ <= 0) return false;
  int status = 0;
  if (::waitpid(pid_, &status, WNOHANG) == 0) return true;
  pid_ = -1;
  endStatus_ = status;
  return false;
}

std::optional<int> BackgroundProgram::Stop(std::chrono::milliseconds bound, int signal) {
  if (pid_ <= 0) return std::nullopt;
  ::kill(pid_, signal);
  const std::optional<int> status = Reap(pid_, bound);
  pid_ = -1;
  return status;
}

bool PollUntil(const std::function<bool()>& condition, std::chrono::milliseconds bound) {
  const auto deadline = Clock::now() + bound;
  while (!condition()) {
    if (Clock::now() > deadline) return condition();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

int FreeLoopbackPort() {
  const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = -1;
  if (s >= 0 && ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0)
    port = ntohs(address.sin_port);
  if (s >= 0) ::close(s);
  return port;
}

bool SignalPending(pid_t pid, int signal) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  bool pending = false;
  while (std::getline(status, line)) {
    if (line.rfind("SigPnd:", 0) != 0 && line.rfind("ShdPnd:", 0) != 0) continue;
    const unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
    pending = pending || (mask >> (signal - 1) & 1) != 0;
  }
  return pending;
}

}  // namespace qrticket::testing
