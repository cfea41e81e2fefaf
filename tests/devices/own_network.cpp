// A fresh network namespace for the tests that look host names up.
#include "own_network.h"

#include <fcntl.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "job_runner.h"
#include "temp_dir.h"

extern char** environ;

namespace qrticket::testing {
namespace {

constexpr const char* kMarker = "QRTICKET_TEST_OWN_NETWORK";
constexpr int kNoNamespace = 77;

}  // namespace

bool InOwnNetwork() {
  const char* marker = std::getenv(kMarker);
  return marker != nullptr && std::string(marker) == "1";
}

bool BringLoopbackUp() {
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  ifreq request{};
  std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
  bool up = ::ioctl(fd, SIOCGIFFLAGS, &request) == 0;
  request.ifr_flags |= IFF_UP;
  up = up && ::ioctl(fd, SIOCSIFFLAGS, &request) == 0;
  ::close(fd);
  return up;
}

std::string NetworkInterfaces() {
  // Asked of the kernel in this process's namespace (/sys/class/net would show the namespace
  // /sys was mounted in).
  std::string names;
  struct if_nameindex* list = ::if_nameindex();
  if (list == nullptr) return names;
  for (const struct if_nameindex* i = list; i->if_index != 0; ++i)
    names += (names.empty() ? "" : " ") + std::string(i->if_name);
  ::if_freenameindex(list);
  return names;
}

std::optional<OwnNetworkRun> RunInOwnNetwork(const std::string& gtestFilter, std::string& skip) {
  TempDir dir;
  const std::string outputPath = dir.File("output");
  const std::string filter = "--gtest_filter=" + gtestFilter;
  // Everything the child needs is made before fork, so that it runs only async-signal-safe
  // calls until exec.
  std::vector<std::string> environment = {std::string(kMarker) + "=1"};
  for (char** variable = environ; *variable != nullptr; ++variable)
    if (std::strncmp(*variable, kMarker, std::strlen(kMarker)) != 0)
      environment.emplace_back(*variable);
  std::vector<char*> envp;
  for (std::string& variable : environment) envp.push_back(variable.data());
  envp.push_back(nullptr);
  char* argv[] = {const_cast<char*>("/proc/self/exe"), const_cast<char*>(filter.c_str()),
                  nullptr};
  const pid_t child = ::fork();
  if (child == 0) {
    const int output = ::open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(output, STDOUT_FILENO);
    ::dup2(output, STDERR_FILENO);
    if (::unshare(CLONE_NEWNET) != 0) ::_exit(kNoNamespace);
    ::execve("/proc/self/exe", argv, envp.data());
    ::_exit(127);
  }
  if (child < 0) {
    skip = "cannot start a child process";
    return std::nullopt;
  }
  const std::optional<int> status = WaitForChild(child, std::chrono::seconds(60));
  OwnNetworkRun run;
  run.output = ReadFileBytes(outputPath);
  if (!status) {
    run.output += "\n(killed after 60 s)";
    return run;
  }
  if (WIFEXITED(*status) && WEXITSTATUS(*status) == kNoNamespace) {
    skip = "no network namespace can be made here (not root?)";
    return std::nullopt;
  }
  run.exitCode = WIFEXITED(*status) ? WEXITSTATUS(*status) : 128 + WTERMSIG(*status);
  return run;
}

}  // namespace qrticket::testing
