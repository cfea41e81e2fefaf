// The real qrticket binary printing to a loopback printer, and failing on a refused port.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include <gtest/gtest.h>

#include "failure_messages.h"
#include "job_runner.h"
#include "loopback_printer.h"
#include "ticket_job.h"
#include "pty_pair.h"
#include "temp_dir.h"

extern char** environ;

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;

struct CommandRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs the command with `args`, stdout and stderr captured in files (or stdout on
// `stdoutFd`); killed after 20 s.
CommandRun RunQrticket(const std::vector<std::string>& args, int stdoutFd = -1) {
  TempDir dir;
  const std::string outPath = dir.File("out"), errPath = dir.File("err");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (stdoutFd >= 0) {
    posix_spawn_file_actions_adddup2(&actions, stdoutFd, 1);
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
  const std::optional<int> ended = WaitForChild(child, 20s);
  if (!ended) {
    ADD_FAILURE() << "qrticket did not end";
    return run;
  }
  const int status = *ended;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.out = ReadFileBytes(outPath);
  run.err = ReadFileBytes(errPath);
  return run;
}

TEST(CommandLine, PrintsToANetworkPrinter) {
  LoopbackPrinter printer;
  const std::string device = printer.DeviceName();
  const CommandRun run = RunQrticket({"--device", device, "--text", "Olá €", "--timeout", "5"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  ASSERT_TRUE(printer.WaitFinished(3000ms));
  // The text arrives in Windows-1252: á is E1, € is 80.
  EXPECT_EQ(Hex(printer.received()), Hex(TicketBytes(TicketTo(device, "Ol\xE1 \x80"))));
}

TEST(CommandLine, RefusedNetworkPrinterExitsWithTheFailure) {
  RefusingPort port;
  const std::string device = port.DeviceName();
  const CommandRun run = RunQrticket({"--device", device});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, kFailurePrefix + failures::ConnectionRefused(device).description() + "\n");
}

// "-" into a pipe that nobody reads: the stall time-out ends the job, as on any device.
TEST(CommandLine, StandardOutputNobodyReadsTimesOut) {
  int pipeFds[2];
  ASSERT_EQ(::pipe(pipeFds), 0);
  ::fcntl(pipeFds[1], F_SETPIPE_SZ, 4096);
  const auto start = std::chrono::steady_clock::now();
  const CommandRun run = RunQrticket(
      {"--device", "-", "--text", std::string(20000, 'x'), "--timeout", "0.3"}, pipeFds[1]);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  ::close(pipeFds[0]);
  ::close(pipeFds[1]);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, kFailurePrefix + failures::TimedOut("-", 300ms).description() + "\n");
  EXPECT_LT(elapsed, 10s);
}

// "-" on a terminal line: the bytes arrive unchanged, no CR put before each LF.
TEST(CommandLine, StandardOutputOnATerminalIsRaw) {
  PtyPair pty;
  const int slave = ::open(pty.slavePath().c_str(), O_WRONLY | O_NOCTTY);
  ASSERT_GE(slave, 0);
  const CommandRun run = RunQrticket({"--device", "-", "--text", "a\nb"}, slave);
  ::close(slave);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  const Bytes expected = TicketBytes(TicketTo("", "a\nb"));
  EXPECT_EQ(Hex(pty.ReadMaster(expected.size(), 3000ms)), Hex(expected));
}

}  // namespace
}  // namespace qrticket::testing
