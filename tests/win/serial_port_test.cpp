// Ports through the Win32 seam: how a serial or parallel port is opened, and what a job does
// when the port takes bytes slowly, partly, not at all, or holds the line with flow control.
#include <gtest/gtest.h>

#include <functional>

#include "fake_system_calls.h"
#include "temp_dir.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct PortRow {
  const char* name;
  std::string device;
  std::function<void(FakePort&)> setUp;
  const char* failure;  // the start of the message after "Falha na impressão:"; null: success
  std::function<void(const FakePort&)> check;
};
void PrintTo(const PortRow& row, std::ostream* out) { *out << row.name; }

constexpr auto kStall = 300ms;

std::deque<long> Shrinking(long from, int steps) {
  std::deque<long> values;
  for (int i = 0; i < steps; ++i) values.push_back(from - i);
  values.push_back(0);
  return values;
}

class Ports : public ::testing::TestWithParam<PortRow> {};

TEST_P(Ports, DeliverOrFailAsTheyShould) {
  const PortRow& row = GetParam();
  FakePort port;
  if (row.setUp) row.setUp(port);
  const auto started = Clock::now();
  const std::optional<std::string> message = RunTicketJob(row.device, port, kStall);
  const auto elapsed = Clock::now() - started;
  if (row.failure == nullptr) {
    EXPECT_FALSE(message) << *message;
    EXPECT_EQ(Hex(port.received), Hex(ExpectedTicket()));
  } else {
    ASSERT_TRUE(message);
    EXPECT_EQ(message->rfind(std::string("Falha na impressão:") + row.failure, 0), 0u) << *message;
    EXPECT_NE(message->find("\"" + row.device + "\""), std::string::npos) << *message;
  }
  if (port.openError == 0) {
    EXPECT_EQ(port.closes, 1);  // released once, whatever happened
  }
  EXPECT_LT(elapsed, 10s);
  if (row.check) row.check(port);
}

INSTANTIATE_TEST_SUITE_P(
    Serial, Ports,
    ::testing::Values(
        PortRow{"ComTenAndAboveOpenTheDeviceItself", "COM12:", nullptr, nullptr,
                [](const FakePort& p) {
                  EXPECT_EQ(p.openedPath, L"\\\\.\\COM12");
                  EXPECT_EQ(p.openedAccess, DWORD(GENERIC_READ | GENERIC_WRITE));
                  EXPECT_EQ(p.openedShare, 0u);  // the job holds the port alone
                  EXPECT_EQ(p.openedDisposition, DWORD(OPEN_EXISTING));
                  EXPECT_NE(p.openedFlags & FILE_FLAG_OVERLAPPED, 0u);
                  EXPECT_EQ(p.purges, 0);  // a delivered ticket is not cut short
                }},
        PortRow{"ShortWritesGoOnWhereTheyStopped", "COM1",
                [](FakePort& p) {
                  for (int i = 0; i < 20; ++i) p.writes.push_back({WriteStep::Take, 61});
                },
                nullptr, [](const FakePort& p) { EXPECT_GT(p.writeCalls, 5); }},
        PortRow{"WritesThatTakeNothingAreTriedAgain", "COM1",
                [](FakePort& p) { p.writes.assign(3, WriteStep{WriteStep::Nothing}); }, nullptr,
                nullptr},
        PortRow{"AStalledWriteIsCancelledAndTheQueueDiscarded", "COM3:",
                [](FakePort& p) {
                  p.writes.push_back({WriteStep::Pend});
                  p.queue = {4096};
                },
                "Tempo esgotado",
                [](const FakePort& p) {
                  EXPECT_EQ(p.cancels, 1);
                  EXPECT_EQ(p.purges, 1);
                }},
        PortRow{"AQueueThatKeepsShrinkingIsNeverCutOff", "COM3:",
                [](FakePort& p) {
                  p.writes.push_back({WriteStep::Pend});
                  p.queue = Shrinking(4096, 40);  // about 800 ms, well past the stall time
                },
                nullptr, [](const FakePort& p) { EXPECT_EQ(p.cancels, 0); }},
        PortRow{"CloseWaitsUntilTheQueueIsEmpty", "COM2",
                [](FakePort& p) { p.queue = {3000, 2000, 1000, 0}; }, nullptr,
                [](const FakePort& p) { EXPECT_EQ(p.purges, 0); }},
        PortRow{"ALineHeldByFlowControlTimesOutAndIsDiscarded", "COM2",
                [](FakePort& p) { p.queue = {500}; }, "Tempo esgotado",
                [](const FakePort& p) { EXPECT_EQ(p.purges, 1); }},
        PortRow{"HeldByAnotherProgramIsBusy", "COM3",
                [](FakePort& p) { p.openError = ERROR_ACCESS_DENIED; }, "O dispositivo \"COM3\" está ocupado",
                nullptr},
        PortRow{"AMissingPortDoesNotExist", "COM9:",
                [](FakePort& p) { p.openError = ERROR_FILE_NOT_FOUND; },
                "A porta \"COM9:\" (\\\\.\\COM9) não existe", nullptr},
        PortRow{"ADeviceErrorMidTicketFails", "COM1",
                [](FakePort& p) { p.writes.push_back({WriteStep::Fail, 0, ERROR_GEN_FAILURE}); },
                "Erro de entrada/saída no dispositivo", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Parallel, Ports,
    ::testing::Values(
        PortRow{"OpenedForWritingOnlyAndNeverDrained", "lpt2:",
                [](FakePort& p) { p.reportsQueue = false; }, nullptr,
                [](const FakePort& p) {
                  EXPECT_EQ(p.openedPath, L"\\\\.\\LPT2");
                  EXPECT_EQ(p.openedAccess, DWORD(GENERIC_WRITE));
                  EXPECT_EQ(p.purges, 0);
                }},
        PortRow{"APrinterOffLineTimesOut", "LPT1",
                [](FakePort& p) {
                  p.reportsQueue = false;
                  p.writes.push_back({WriteStep::Pend});
                },
                "Tempo esgotado", [](const FakePort& p) { EXPECT_EQ(p.cancels, 1); }},
        PortRow{"PaperOutFails", "LPT1",
                [](FakePort& p) {
                  p.reportsQueue = false;
                  p.writes.push_back({WriteStep::Fail, 0, ERROR_OUT_OF_PAPER});
                },
                "Erro de entrada/saída no dispositivo \"LPT1\"", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

// A write that takes nothing for the whole stall time fails in about that time, not later.
TEST(Ports, ATimeOutComesAfterTheStallTimeNotBefore) {
  FakePort port;
  port.writes.push_back({WriteStep::Pend});
  port.queue = {100};
  const auto started = Clock::now();
  ASSERT_TRUE(RunTicketJob("COM1", port, kStall));
  const auto elapsed = Clock::now() - started;
  EXPECT_GE(elapsed, kStall);
  EXPECT_LT(elapsed, kStall + 3s);
}

}  // namespace
}  // namespace qrticket::testing
