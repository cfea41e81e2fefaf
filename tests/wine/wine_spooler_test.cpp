// qrticket.exe printing to an installed printer under Wine: Wine's spooler shows the queues of
// the CUPS scheduler CUPS_SERVER names as Windows printers, so a private cupsd gives the test a
// real spooler with a stopped, a rejecting and a working queue. Wine hands a job to CUPS at
// EndDocPrinter and forgets it, and reports no printer state: none of these may read as a
// delivered ticket. Runs in the prefix that wine_prefix.sh made, with no other Wine program
// beside it (another one, started without CUPS_SERVER, would drop the queue from the prefix).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "loopback_printer.h"
#include "private_cupsd.h"
#include "run_program.h"
#include "temp_dir.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

struct QueueRow {
  const char* name;
  const char* cupsCommand;  // run on the queue before the ticket; null: none
  const char* failure;      // the start of stderr
  bool heldByCups;  // the ticket waits in CUPS afterwards (it prints once resumed)
  bool printed;     // the printer behind the queue received the ticket
};
void PrintTo(const QueueRow& row, std::ostream* out) { *out << row.name; }

class WineSpooler : public ::testing::TestWithParam<QueueRow> {
 protected:
  void SetUp() override {
    const char* root = std::getenv("QRTICKET_WINE_ROOT");
    const char* prefix = std::getenv("WINEPREFIX");
    if (root == nullptr) GTEST_SKIP() << "runs in the prefix of wine_prefix_create (ctest)";
    ASSERT_TRUE(prefix != nullptr && fs::path(prefix) == fs::path(root) / "prefix");
    if (PrivateCupsd::FindCupsd().empty())
      GTEST_SKIP() << "cupsd is not installed (Debian package \"cups\"; scripts/deps.sh)";
    exchange_ = fs::path(root) / "exchange";
  }

  fs::path exchange_;
};

TEST_P(WineSpooler, NeverCountsAnUnconfirmedJobAsDelivered) {
  const QueueRow& row = GetParam();
  PrivateCupsd cupsd;
  ASSERT_TRUE(cupsd.ok()) << cupsd.error();
  LoopbackPrinter printer;
  ASSERT_TRUE(printer.ok());
  cupsd.AddRawQueue("Recibos", "socket://127.0.0.1:" + std::to_string(printer.port()));
  if (row.cupsCommand != nullptr) {
    const ProgramRun command = cupsd.Command(row.cupsCommand, {"Recibos"});
    ASSERT_EQ(command.exitCode, 0) << command.err;
  }

  const ProgramRun run = RunProgram({QRTICKET_WINE64, QRTICKET_EXE, "--device", "printer:Recibos",
                                     "--timeout", "5"},
                                    {{"CUPS_SERVER", cupsd.server()}}, 60s, exchange_);
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_EQ(run.err.rfind(std::string("Falha na impressão:") + row.failure, 0), 0u) << run.err;
  EXPECT_LT(run.elapsed, 5s) << "waited for the stall time-out";

  if (row.printed) {
    ASSERT_TRUE(printer.WaitFinished(10s)) << cupsd.Log();
    EXPECT_TRUE(PollUntil([&] { return cupsd.PendingJobs("Recibos").empty(); }, 10s));
    TempDir dir;
    const ProgramRun onLinux =
        RunProgram({QRTICKET_BINARY, "--device", dir.File("linux.bin")}, {}, 30s);
    ASSERT_EQ(onLinux.exitCode, 0) << onLinux.err;
    EXPECT_EQ(Hex(printer.received()), Hex(ReadFileBytes(dir.File("linux.bin"))));
  } else {
    EXPECT_EQ(cupsd.PendingJobs("Recibos").empty(), !row.heldByCups)
        << cupsd.PendingJobs("Recibos");
  }
  cupsd.Command("cancel", {"-a", "Recibos"});
}

INSTANTIATE_TEST_SUITE_P(
    Queues, WineSpooler,
    ::testing::Values(
        // The fault this guards: exit 0 at once, and the ticket printed once the queue resumed.
        QueueRow{"AStoppedQueue", "cupsdisable",
                 "Entrega não confirmada: o talão saiu da fila de \"printer:Recibos\" sem que o "
                 "Windows dissesse que foi impresso",
                 true, false},
        // Wine's own words for it were "Invalid handle".
        QueueRow{"ARejectingQueue", "cupsreject",
                 "O Windows não aceitou o talão para \"printer:Recibos\" (a fila pode estar a "
                 "recusar trabalhos; erro 6 do Windows",
                 false, false},
        // Printed, but Wine's spooler cannot say so.
        QueueRow{"AWorkingQueue", nullptr, "Entrega não confirmada", false, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket::testing
