// A file the job may not write. Root bypasses file modes, so the job runs in a child process
// that has given up root for the unprivileged "nobody" account.
#include <fstream>

#include <gtest/gtest.h>

#include "as_nobody.h"
#include "devices/device_failures.h"
#include "job_runner.h"
#include "temp_dir.h"
#include "ticket/ticket_defaults.h"
#include "ticket/ticket_job.h"
#include "ticket_bytes.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;

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
