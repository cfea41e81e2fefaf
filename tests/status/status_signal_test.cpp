// qrticket --status against printers that never stop sending: the asking ends at its bound,
// and SIGINT, SIGTERM and SIGHUP end it at once with 128 + the signal, whatever comes in.
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "command_runner.h"
#include "devices/device_failures.h"
#include "fake_printer.h"
#include "temp_dir.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A network printer that sends `endless` for 8 s once it has answered DLE EOT 1; with
// `onlyFirst` it answers nothing else.
std::shared_ptr<FakeTcpPrinter> Flooding(std::string endless, bool onlyFirst) {
  FakeAnswers answers = ReadyPrinter();
  if (onlyFirst) {
    answers.dleEot = {{1, "\x12"}};
    answers.gsI.clear();
  }
  answers.endless = std::move(endless);
  return std::make_shared<FakeTcpPrinter>(answers);
}

struct FloodRow {
  const char* name;
  int signal;    // 0: none, the bound ends it
  int exitCode;  // without a signal
  std::function<std::pair<std::string, std::shared_ptr<void>>()> device;
};
void PrintTo(const FloodRow& row, std::ostream* out) { *out << row.name; }

// /dev/zero of the test's own: the machine's may be claimed by another test meanwhile.
std::pair<std::string, std::shared_ptr<void>> Zeros() {
  auto dir = std::make_shared<TempDir>();
  return {PrivateZeroDevice(*dir), dir};
}
std::pair<std::string, std::shared_ptr<void>> TextHeaders() {
  auto printer = Flooding("\x5F", /*onlyFirst=*/true);
  return {printer->DeviceName(), printer};
}
std::pair<std::string, std::shared_ptr<void>> AutomaticStatus() {
  auto printer = Flooding(std::string("\x10\0\0\0", 4), /*onlyFirst=*/false);
  return {printer->DeviceName(), printer};
}

class StatusAgainstAFlood : public ::testing::TestWithParam<FloodRow> {};

TEST_P(StatusAgainstAFlood, EndsInTimeOrAtTheSignal) {
  const FloodRow& row = GetParam();
  const auto [device, keepAlive] = row.device();
  Clock::time_point signalled{};
  const auto start = Clock::now();
  const CommandRun run =
      RunQrticket({"--device", device, "--status"}, {.whileRunning = [&](pid_t pid) {
                    if (row.signal == 0) return;
                    std::this_thread::sleep_for(400ms);  // well into the exchange
                    signalled = Clock::now();
                    ::kill(pid, row.signal);
                  }});
  const auto ended = Clock::now();
  EXPECT_FALSE(run.killed) << "the signal killed the process instead of ending the asking";
  if (row.signal == 0) {
    EXPECT_EQ(run.exitCode, row.exitCode) << run.out << run.err;
    EXPECT_LT(ended - start, 6s) << "the exchange is bounded at 4 s";
  } else {
    EXPECT_EQ(run.exitCode, 128 + row.signal) << run.out << run.err;
    EXPECT_EQ(run.err, "Falha ao pedir o estado: " + failures::Interrupted().description() + "\n");
    EXPECT_LT(ended - signalled, 1500ms) << "the signal did not end the asking at once";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Devices, StatusAgainstAFlood,
    // Zeros and text headers answer nothing asked: unreadable, before any signal comes.
    ::testing::Values(FloodRow{"EndlessZerosAreUnreadable", 0, 1, Zeros},
                      FloodRow{"TextHeadersWithoutEndAreUnreadable", 0, 1, TextHeaders},
                      FloodRow{"SigtermWhileAutomaticStatusComes", SIGTERM, 0, AutomaticStatus},
                      FloodRow{"CtrlCWhileAutomaticStatusComes", SIGINT, 0, AutomaticStatus},
                      FloodRow{"SighupWhileAutomaticStatusComes", SIGHUP, 0, AutomaticStatus}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket::testing
