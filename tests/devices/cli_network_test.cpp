// The real qrticket binary printing to a loopback printer, and failing on a refused port.
#include <fcntl.h>
#include <unistd.h>

#include <thread>

#include <gtest/gtest.h>

#include "command_runner.h"
#include "devices/device_failures.h"
#include "job_runner.h"
#include "loopback_printer.h"
#include "pty_pair.h"
#include "temp_dir.h"
#include "ticket/ticket_job.h"
#include "ticket_bytes.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;

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
      {"--device", "-", "--text", std::string(20000, 'x'), "--timeout", "0.3"},
      {.stdoutFd = pipeFds[1]});
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
  const CommandRun run = RunQrticket({"--device", "-", "--text", "a\nb"}, {.stdoutFd = slave});
  ::close(slave);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  const Bytes expected = TicketBytes(TicketTo("", "a\nb"));
  EXPECT_EQ(Hex(pty.ReadMaster(expected.size(), 3000ms)), Hex(expected));
}

}  // namespace
}  // namespace qrticket::testing
