// libcups is loaded only when a CUPS queue is used: the loader's own account (LD_DEBUG=libs)
// of the real qrticket, for jobs that never need CUPS and for the two that do; and a clear
// failure where the libcups found lacks its functions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run_program.h"
#include "temp_dir.h"

namespace qrticket::testing {
namespace {

// The scheduler the CUPS rows ask: a loopback port nobody listens on, so they fail at once.
std::string NoScheduler() { return "127.0.0.1:" + std::to_string(FreeLoopbackPort()); }

bool LoadedCups(const ProgramRun& run) {
  return run.err.find("libcups.so.2") != std::string::npos;
}

struct LoadRow {
  const char* name;
  std::vector<std::string> args;  // after the program; "@" is replaced by a file of the test's
  bool loadsCups;
};

void PrintTo(const LoadRow& row, std::ostream* out) { *out << row.name; }

class CupsLoading : public ::testing::TestWithParam<LoadRow> {};

TEST_P(CupsLoading, OnlyForCupsQueuesAndTheirList) {
  const TempDir dir;
  std::vector<std::string> argv{QRTICKET_BINARY};
  for (const std::string& arg : GetParam().args) argv.push_back(arg == "@" ? dir.File("t.bin") : arg);
  const ProgramRun run =
      RunProgram(argv, {{"LD_DEBUG", "libs"}, {"CUPS_SERVER", NoScheduler()}},
                 std::chrono::seconds(30));
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(LoadedCups(run), GetParam().loadsCups) << run.err.substr(0, 4000);
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, CupsLoading,
    ::testing::Values(
        LoadRow{"TicketToAFile", {"--device", "@"}, false},
        LoadRow{"TicketToStandardOutput", {"--device", "-"}, false},
        LoadRow{"TicketToARefusedNetworkPrinter", {"--device", "tcp://127.0.0.1:1"}, false},
        LoadRow{"StatusOfAFile", {"--device", "@", "--status"}, false},
        LoadRow{"Check", {"--check"}, false},
        LoadRow{"Help", {"--help"}, false},
        LoadRow{"TicketToACupsQueue", {"--device", "cups:Recibos"}, true},
        LoadRow{"ListOfDevices", {"--list-devices"}, true}),
    [](const auto& info) { return std::string(info.param.name); });

// A libcups.so.2 without the functions (built by the test's CMake) stands for a machine
// without libcups2: a queue fails in Portuguese naming the package; the list still works.
TEST(CupsMissing, AQueueSaysWhatToInstall) {
  const ProgramRun run = RunProgram({QRTICKET_BINARY, "--device", "cups:Recibos"},
                                    {{"LD_LIBRARY_PATH", WITHOUT_CUPS_DIR}});
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_EQ(run.err,
            "Falha na impressão:o suporte de CUPS não está instalado (libcups2)\n");
}

TEST(CupsMissing, TheListHasNoQueuesAndSucceeds) {
  const ProgramRun run = RunProgram({QRTICKET_BINARY, "--list-devices"},
                                    {{"LD_LIBRARY_PATH", WITHOUT_CUPS_DIR}});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out.find("cups:"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace qrticket::testing
