#include "as_nobody.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include "job_runner.h"

namespace qrticket::testing {

using namespace std::chrono_literals;

std::optional<std::string> RunAsNobody(const std::function<std::string()>& job, std::string& skip) {
  constexpr int kCannotDropPrivileges = 77;
  const passwd* nobody = ::getpwnam("nobody");
  if (nobody == nullptr) {
    skip = "no \"nobody\" account";
    return std::nullopt;
  }
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) {
    skip = "no pipe";
    return std::nullopt;
  }
  const uid_t uid = nobody->pw_uid;
  const gid_t gid = nobody->pw_gid;
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipeFds[0]);
    if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0 ||
        ::geteuid() == 0)
      ::_exit(kCannotDropPrivileges);
    const std::string result = job();
    std::size_t done = 0;
    while (done < result.size()) {
      const ssize_t n = ::write(pipeFds[1], result.data() + done, result.size() - done);
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    ::_exit(0);
  }
  ::close(pipeFds[1]);
  // The answer is small enough to wait in the pipe until the child has ended.
  const std::optional<int> ended = WaitForChild(child, 20s);
  std::string output;
  char buffer[1024];
  ssize_t got;
  while (ended && (got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0) output.append(buffer, got);
  ::close(pipeFds[0]);
  if (!ended) {
    ADD_FAILURE() << "the child did not end";
    return std::nullopt;
  }
  if (WIFEXITED(*ended) && WEXITSTATUS(*ended) == kCannotDropPrivileges) {
    skip = "cannot drop privileges here";
    return std::nullopt;
  }
  EXPECT_TRUE(WIFEXITED(*ended) && WEXITSTATUS(*ended) == 0) << "child status " << *ended;
  return output;
}

}  // namespace qrticket::testing
