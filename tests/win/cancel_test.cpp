// Ctrl+C on Windows, behind the seam: the cancel event ends every kind of wait as an
// interrupted job, and each device lets go as after any failure: a pending port write is
// cancelled and the port's queue discarded, a network connection reset, a spooler job deleted,
// a stuck write to standard output left behind.
#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "devices/win/cancel_event.h"
#include "fake_system_calls.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const char kInterrupted[] = "Falha na impressão:Impressão interrompida (Ctrl+C ou sinal de terminação)";

// A manual-reset event that a thread sets after `after`, as the console's handler would.
class CtrlC {
 public:
  explicit CtrlC(std::chrono::milliseconds after)
      : event_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
        thread_([this, after] {
          std::this_thread::sleep_for(after);
          ::SetEvent(event_);
        }) {}
  ~CtrlC() {
    thread_.join();
    ::CloseHandle(event_);
  }
  int number() const { return CancelNumber(event_); }

 private:
  HANDLE event_;
  std::thread thread_;
};

struct CancelRow {
  const char* name;
  std::function<std::unique_ptr<SystemCalls>()> make;
  std::string device;
  std::function<void(SystemCalls&)> check;
};
void PrintTo(const CancelRow& row, std::ostream* out) { *out << row.name; }

class CtrlCEndsTheJob : public ::testing::TestWithParam<CancelRow> {};

TEST_P(CtrlCEndsTheJob, AsInterruptedAndLetsGo) {
  const CancelRow& row = GetParam();
  const std::unique_ptr<SystemCalls> sys = row.make();
  CtrlC ctrlC(300ms);
  ChannelOptions options;
  options.stallTimeout = 30s;  // only the cancel can end the job in time
  options.cancelFd = ctrlC.number();
  const auto started = Clock::now();
  const std::optional<std::string> message = RunTicketJob(row.device, *sys, options);
  EXPECT_LT(Clock::now() - started, 10s);
  ASSERT_TRUE(message);
  EXPECT_EQ(*message, kInterrupted);
  row.check(*sys);
}

INSTANTIATE_TEST_SUITE_P(
    Devices, CtrlCEndsTheJob,
    ::testing::Values(
        CancelRow{"APendingPortWriteIsCancelledAndTheQueueDiscarded",
                  [] {
                    auto port = std::make_unique<FakePort>();
                    port->writes = {{WriteStep::Pend}};
                    port->queue = {400};  // the printer holds the line: it never drains
                    return port;
                  },
                  "COM3:",
                  [](SystemCalls& sys) {
                    const auto& port = static_cast<FakePort&>(sys);
                    EXPECT_EQ(port.cancels, 1);
                    EXPECT_EQ(port.purges, 1);
                    EXPECT_EQ(port.closes, 1);
                  }},
        CancelRow{"ASpoolerJobIsDeleted",
                  [] {
                    auto spooler = std::make_unique<FakeSpooler>();
                    spooler->looks = {{.status = JOB_STATUS_SPOOLING}, {.status = JOB_STATUS_PRINTING}};
                    return spooler;
                  },
                  "printer:Caixa",
                  [](SystemCalls& sys) {
                    const auto& spooler = static_cast<FakeSpooler&>(sys);
                    EXPECT_EQ(spooler.jobCommands.back(), DWORD{JOB_CONTROL_DELETE});
                    EXPECT_TRUE(spooler.closed);
                  }},
        CancelRow{"ANetworkConnectionIsReset",
                  [] {
                    auto socket = std::make_unique<FakeSocket>();
                    socket->sendBlocks = true;
                    return socket;
                  },
                  "tcp://127.0.0.1:9100",
                  [](SystemCalls& sys) {
                    const auto& socket = static_cast<FakeSocket&>(sys);
                    EXPECT_TRUE(socket.reset);
                    EXPECT_TRUE(socket.closed);
                  }},
        CancelRow{"AStuckStandardOutputIsLeftBehind",
                  [] {
                    auto out = std::make_unique<FakeStdout>();
                    out->stuck = true;
                    out->stuckFor = 2000ms;
                    return out;
                  },
                  "-", [](SystemCalls&) {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CancelEvent, NumbersTurnBackIntoTheirEvent) {
  const HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  EXPECT_EQ(CancelEvent(CancelNumber(event)), event);
  EXPECT_EQ(CancelEvent(-1), nullptr);
  EXPECT_FALSE(IsCancelled(CancelNumber(event)));
  ::SetEvent(event);
  EXPECT_TRUE(IsCancelled(CancelNumber(event)));
  ::CloseHandle(event);
}

}  // namespace
}  // namespace qrticket::testing
