// The qrticket command with CUPS: a ticket through a queue into the virtual printer, scanned
// back; --list-devices showing the queues; no scheduler, or a silent one, answered quickly.
#include <gtest/gtest.h>

#include <algorithm>

#include "cups_environment.h"
#include "devices/device_failures.h"
#include "devices/posix/cups_failures.h"
#include "listening_viewer.h"
#include "loopback_printer.h"
#include "ticket/ticket_job.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;

ProgramRun Qrticket(std::vector<std::string> args, const EnvironmentChanges& env) {
  args.insert(args.begin(), QRTICKET_BINARY);
  return RunProgram(args, env, 60s);
}

// The lines of --list-devices that name CUPS queues.
std::string CupsLines(const std::string& listing) {
  std::string lines;
  std::size_t start = 0;
  while (start < listing.size()) {
    const std::size_t end = listing.find('\n', start);
    const std::string line = listing.substr(start, end - start);
    if (line.starts_with("cups:")) lines += line + "\n";
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

using CupsCommand = CupsTest;

TEST_F(CupsCommand, TicketThroughAQueueScansBackToTheText) {
  ListeningViewer viewer(QRTICKET_VIEW_BINARY);
  ASSERT_TRUE(viewer.ok()) << viewer.Log();
  cupsd_->AddRawQueue("Recibos", "socket://127.0.0.1:" + std::to_string(viewer.port()));

  const ProgramRun run =
      Qrticket({"--device", "cups:Recibos", "--text", "Olá via CUPS", "--timeout", "10"},
               ChildEnvironment());
  EXPECT_EQ(run.exitCode, 0) << run.err << cupsd_->Log();
  EXPECT_EQ(run.err, "");

  const auto picture = viewer.WaitForTicket(1, 10s);
  ASSERT_FALSE(picture.empty()) << viewer.Log();
  // -Sbinary: the symbol's bytes as they are (Windows-1252), no character set guessed.
  const ProgramRun scan = RunProgram({"zbarimg", "--quiet", "--raw", "-Sbinary", picture.string()});
  EXPECT_EQ(scan.exitCode, 0) << scan.err;
  EXPECT_EQ(Hex(scan.out), Hex("Ol\xE1 via CUPS")) << viewer.Log();
}

TEST_F(CupsCommand, ListDevicesShowsEachQueueWithItsState) {
  cupsd_->AddRawQueue("Recibos", "socket://127.0.0.1:9");
  cupsd_->AddRawQueue("Cozinha", "socket://127.0.0.1:9");
  ASSERT_EQ(cupsd_->Command("lpadmin", {"-d", "Recibos"}).exitCode, 0);
  ASSERT_EQ(cupsd_->Command("cupsdisable", {"-r", "Sem papel", "Cozinha"}).exitCode, 0);

  const ProgramRun run = Qrticket({"--list-devices"}, ChildEnvironment());
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(CupsLines(run.out),
            "cups:Cozinha\tFila CUPS: Local Raw Printer, parada (\"Sem papel\")\n"
            "cups:Recibos\tFila CUPS: Local Raw Printer, pronta, predefinida\n");
}

// CUPS marks a job completed when its backend is done, also for a printer that read only part
// of the ticket and closed: no job or printer attribute tells that apart. The help says so.
TEST(CupsHelp, SaysDeliveredIsWhatCupsReports) {
  const ProgramRun run = RunProgram({QRTICKET_BINARY, "--help"}, {}, 30s);
  EXPECT_EQ(run.exitCode, 0);
  std::string help = run.out;
  std::replace(help.begin(), help.end(), '\n', ' ');
  EXPECT_NE(help.find("entregue é o que o CUPS indica, e tcp:// confirma mais"), std::string::npos)
      << run.out;
}

// No scheduler at all: an empty list of queues at once, and a clear failure for a queue.
TEST(CupsWithoutScheduler, EmptyListAndAClearFailure) {
  TempDir settings;
  const std::string server = "127.0.0.1:" + std::to_string(FreeLoopbackPort());
  const EnvironmentChanges env = CupsEnvironment(server, settings.path());

  const ProgramRun list = RunProgram({QRTICKET_BINARY, "--list-devices"}, env, 60s);
  EXPECT_EQ(list.exitCode, 0) << list.err;
  EXPECT_EQ(CupsLines(list.out), "");
  EXPECT_LT(list.elapsed, 10s);

  const ProgramRun print = RunProgram({QRTICKET_BINARY, "--device", "cups:Recibos"}, env, 60s);
  EXPECT_EQ(print.exitCode, 1);
  EXPECT_EQ(print.err, kFailurePrefix + failures::CupsUnavailable(server).description() + "\n");
}

// A "scheduler" that takes the connection and never answers: both commands end within their
// bounds (2 s for the list, the stall time-out for a job).
TEST(CupsWithoutScheduler, SilentSchedulerIsBounded) {
  TempDir settings;
  LoopbackPrinter silent({.kind = PrinterBehaviour::Kind::NeverRead});
  ASSERT_TRUE(silent.ok());
  const std::string server = "127.0.0.1:" + std::to_string(silent.port());
  const EnvironmentChanges env = CupsEnvironment(server, settings.path());

  const ProgramRun list = RunProgram({QRTICKET_BINARY, "--list-devices"}, env, 60s);
  EXPECT_EQ(list.exitCode, 0) << list.err;
  EXPECT_EQ(CupsLines(list.out), "");
  EXPECT_LT(list.elapsed, 20s);
}

TEST(CupsWithoutScheduler, SilentSchedulerFailsTheJob) {
  TempDir settings;
  LoopbackPrinter silent({.kind = PrinterBehaviour::Kind::NeverRead});
  ASSERT_TRUE(silent.ok());
  const std::string server = "127.0.0.1:" + std::to_string(silent.port());
  const ProgramRun print =
      RunProgram({QRTICKET_BINARY, "--device", "cups:Recibos", "--timeout", "1"},
                 CupsEnvironment(server, settings.path()), 60s);
  EXPECT_EQ(print.exitCode, 1);
  EXPECT_EQ(print.err, kFailurePrefix + failures::CupsNotResponding(server).description() + "\n");
  EXPECT_LT(print.elapsed, 20s);
}

}  // namespace
}  // namespace qrticket::testing
