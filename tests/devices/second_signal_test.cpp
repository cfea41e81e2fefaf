// A second signal while a job has a serial line at its settings (an operator pressing Ctrl+C
// twice, `timeout` signalling the process and then its group): the process ends at once, but
// the line has its own settings back and standard error says what happened.
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "command_runner.h"
#include "run_program.h"
#include "serial_pty.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;

struct SecondSignalRow {
  const char* name;
  std::function<std::vector<std::string>(const std::string& line)> args;
  int first, second;
};
void PrintTo(const SecondSignalRow& row, std::ostream* out) { *out << row.name; }


class SecondSignal : public ::testing::TestWithParam<SecondSignalRow> {};

TEST_P(SecondSignal, PutsTheLineBackAndSaysSo) {
  const SecondSignalRow& row = GetParam();
  int endedAtOnce = 0;
  // The second signal races the job's own end after the first; a few runs see both sides.
  for (int attempt = 0; attempt < 4; ++attempt) {
    SerialPty line;  // nobody reads it: a ticket waits, nothing answers
    line.SetSpeed(1200);
    const LineSettings own = line.Line();
    bool changed = false;
    const CommandRun run = RunQrticket(row.args(line.path()), {.whileRunning = [&](pid_t pid) {
      const auto end = std::chrono::steady_clock::now() + 10s;
      while (!(changed = line.Speed() != 1200) && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(1ms);
      ::kill(pid, row.first);
      // The same signal twice would be delivered once: the second waits for the first's.
      while (row.first == row.second && SignalPending(pid, row.first))
        std::this_thread::sleep_for(std::chrono::microseconds(100));
      ::kill(pid, row.second);
    }});
    ASSERT_TRUE(changed) << "the job never set the line: " << run.err;
    EXPECT_EQ(line.Line(), own) << "the line was left at the job's settings; " << run.err;
    if (run.killed) {
      ++endedAtOnce;
      EXPECT_NE(run.err.find("segundo sinal: termina já"), std::string::npos) << run.err;
    } else {
      EXPECT_EQ(run.exitCode, 128 + row.first) << run.err;
    }
  }
  EXPECT_GT(endedAtOnce, 0) << "no second signal came while the job ran";
}

std::string LongText() { return std::string(32764, 'x'); }

INSTANTIATE_TEST_SUITE_P(
    Jobs, SecondSignal,
    ::testing::Values(
        SecondSignalRow{"TicketSigtermTwice",
                        [](const std::string& line) {
                          return std::vector<std::string>{"--device", line + ":50,n,8,1", "--text",
                                                          LongText(), "--timeout", "30"};
                        },
                        SIGTERM, SIGTERM},
        SecondSignalRow{"TicketCtrlCThenSigterm",
                        [](const std::string& line) {
                          return std::vector<std::string>{"--device", line + ":50,n,8,1", "--text",
                                                          LongText(), "--timeout", "30"};
                        },
                        SIGINT, SIGTERM},
        SecondSignalRow{"FindSpeedCtrlCTwice",
                        [](const std::string& line) {
                          return std::vector<std::string>{"--device", line, "--find-speed"};
                        },
                        SIGINT, SIGINT},
        SecondSignalRow{"StatusWithSettingsSigtermTwice",
                        [](const std::string& line) {
                          return std::vector<std::string>{"--device", line + ":50", "--status"};
                        },
                        SIGTERM, SIGTERM}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket::testing
