// A file the job may not write. Root bypasses file modes, so the job runs in a child process
// that has given up root for the unprivileged "nobody" account.
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <grp.h>

#include <fstream>
#include <functional>
#include <thread>

#include <gtest/gtest.h>

#include "failure_messages.h"
#include "job_runner.h"
#include "ticket_job.h"
#include "temp_dir.h"
#include "ticket_defaults.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;

constexpr int kCannotDropPrivileges = 77;

// Runs `job` in a child as "nobody"; returns what it wrote to the pipe, or nullopt (with
// `skip` set) when privileges could not be dropped. Bounded: a child that hangs is killed.
std::optional<std::string> RunAsNobody(const std::function<std::string()>& job, std::string& skip) {
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
    ssize_t ignored = ::write(pipeFds[1], result.data(), result.size());
    (void)ignored;
    ::_exit(0);
  }
  ::close(pipeFds[1]);
  const std::optional<int> ended = WaitForChild(child, 20s);
  if (!ended) {
    ::close(pipeFds[0]);
    ADD_FAILURE() << "the job in the child did not end";
    return std::nullopt;
  }
  const int status = *ended;
  std::string output;
  char buffer[1024];
  ssize_t got;
  while ((got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0) output.append(buffer, got);
  ::close(pipeFds[0]);
  if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotDropPrivileges) {
    skip = "cannot drop privileges here";
    return std::nullopt;
  }
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
  return output;
}

TEST(Permissions, FileWithoutWritePermissionIsRefusedAndLeftAlone) {
  TempDir dir;
  std::filesystem::permissions(dir.path(), std::filesystem::perms(0777));
  const std::string readOnly = dir.File("read-only.bin");
  { std::ofstream(readOnly) << "keep me"; }
  std::filesystem::permissions(readOnly, std::filesystem::perms(0444));
  const std::string healthy = dir.File("next.bin");
  const ChannelOptions options{.stallTimeout = 1000ms, .connectTimeout = 1000ms};

  std::string skip;
  const auto output = RunAsNobody(
      [&] {
        const JobOutcome refused = RunJob(TicketTo(readOnly, kSampleDataText), options);
        const JobOutcome next = RunJob(TicketTo(healthy, kSampleDataText), options);
        return refused.message.value_or("(no failure)") + '\n' +
               next.message.value_or("(no failure)");
      },
      skip);
  if (!skip.empty()) GTEST_SKIP() << skip;
  ASSERT_TRUE(output);
  EXPECT_EQ(*output, kFailurePrefix +
                         failures::FromErrno(EACCES, readOnly, failures::Stage::Open).description() +
                         "\n(no failure)");
  EXPECT_EQ(ReadFileBytes(readOnly), "keep me");
  EXPECT_EQ(ReadFileBytes(healthy), TicketBytes(TicketTo(healthy, kSampleDataText)));
}

}  // namespace
}  // namespace qrticket::testing
