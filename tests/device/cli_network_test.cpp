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
#include "print_qr_test.h"
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

// Runs the command with `args`, stdout and stderr captured in files; killed after 20 s.
CommandRun RunQrticket(const std::vector<std::string>& args) {
  TempDir dir;
  const std::string outPath = dir.File("out"), errPath = dir.File("err");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT, 0600);
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

}  // namespace
}  // namespace qrticket::testing
