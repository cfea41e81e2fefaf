// A job stopped through its cancel descriptor while it waits on a device: it fails as
// interrupted long before its time-out, leaves nothing open, resets a network connection, gives
// a terminal its settings back and lets the next job have the device.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include "devices/device_failures.h"
#include "job_runner.h"
#include "loopback_printer.h"
#include "temp_dir.h"
#include "ticket/ticket_defaults.h"
#include "ticket/ticket_job.h"
#include "unread_devices.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;

// Long enough that only the cancel can end these jobs within the test's bound.
const ChannelOptions kLongWaits{.stallTimeout = 30s, .connectTimeout = 30s};

struct Stalled {
  std::string device;
  Bytes dataText = kSampleDataText;
  std::function<bool()> waiting;  // the job has reached its device
  std::function<void()> afterwards;
  std::shared_ptr<void> keepAlive;
  std::string skip;
};

struct CancelRow {
  const char* name;
  std::function<Stalled()> make;
};
void PrintTo(const CancelRow& row, std::ostream* out) { *out << row.name; }

Stalled NetworkPrinterThatNeverReads() {
  auto printer = std::make_shared<LoopbackPrinter>(
      PrinterBehaviour{.kind = PrinterBehaviour::Kind::NeverRead, .receiveBuffer = 2048});
  Stalled s;
  s.device = printer->DeviceName();
  s.dataText = LongestDataText();
  s.waiting = [printer] { return printer->WaitConnected(0ms); };
  s.afterwards = [printer] {
    ASSERT_TRUE(printer->WaitFinished(3000ms));
    EXPECT_TRUE(printer->sawReset()) << "not reset: the printer would print the rest later";
  };
  s.keepAlive = printer;
  return s;
}

Stalled ConnectionNobodyAnswers() {
  auto listener = std::make_shared<FullBacklogListener>();
  Stalled s;
  s.device = listener->DeviceName();
  s.waiting = [] { return true; };
  s.keepAlive = listener;
  if (!listener->ok()) s.skip = "the listener's backlog could not be filled here";
  return s;
}

Stalled PtyNobodyReads() {
  auto state = std::make_shared<KeptPty>();
  const tcflag_t before = state->OutputFlags();
  Stalled s;
  s.device = state->pty.slavePath();
  s.dataText = LongestDataText();
  s.waiting = [state] { return Readable(state->pty.master()); };
  s.afterwards = [state, before] {
    EXPECT_EQ(state->OutputFlags(), before) << "terminal settings not restored";
    // Released: the next job is not told "busy" (it then times out, as nobody reads).
    const JobOutcome next =
        RunJob(TicketTo(state->pty.slavePath(), kSampleDataText),
               {.stallTimeout = 200ms, .connectTimeout = 200ms});
    EXPECT_NE(next.message,
              kFailurePrefix + failures::FromErrno(EBUSY, state->pty.slavePath(),
                                                   failures::Stage::Open)
                                   .description());
  };
  s.keepAlive = state;
  return s;
}

Stalled FifoReaderNeverReads() {
  auto state = std::make_shared<UnreadFifo>();
  Stalled s;
  s.device = state->path;
  s.waiting = [state] { return Readable(state->reader); };
  s.afterwards = [state] {
    char buffer[65536];
    while (::read(state->reader, buffer, sizeof buffer) > 0) {
    }
    // The claim is gone: a job with a reader that reads gets through.
    std::atomic<bool> done{false};
    std::thread reader([state, &done] {
      char b[4096];
      while (!done)
        if (::read(state->reader, b, sizeof b) <= 0) std::this_thread::sleep_for(5ms);
    });
    EXPECT_EQ(RunJob(TicketTo(state->path, kSampleDataText),
                     {.stallTimeout = 2000ms, .connectTimeout = 200ms})
                  .message,
              std::nullopt);
    done = true;
    reader.join();
  };
  s.keepAlive = state;
  return s;
}

class CancelledJobs : public ::testing::TestWithParam<CancelRow> {};

TEST_P(CancelledJobs, FailAsInterruptedAndReleaseTheDevice) {
  Stalled stalled = GetParam().make();
  if (!stalled.skip.empty()) GTEST_SKIP() << stalled.skip;
  int cancel[2];
  ASSERT_EQ(::pipe2(cancel, O_CLOEXEC), 0);
  ChannelOptions options = kLongWaits;
  options.cancelFd = cancel[0];
  const auto before = OpenDescriptors();

  bool sawWaiting = false;
  std::thread canceller([&] {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!(sawWaiting = stalled.waiting()) && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(10ms);
    std::this_thread::sleep_for(100ms);  // well into its wait
    EXPECT_EQ(::write(cancel[1], "x", 1), 1);
  });
  const JobOutcome outcome = RunJob(TicketTo(stalled.device, stalled.dataText), options);
  canceller.join();

  EXPECT_TRUE(sawWaiting);
  EXPECT_EQ(outcome.message, kFailurePrefix + failures::Interrupted().description());
  EXPECT_EQ(outcome.reports, 1);
  EXPECT_LT(outcome.elapsed, 12s);
  ::close(cancel[0]);
  ::close(cancel[1]);
  // Afterwards first: a printer holds its side of the connection until it has seen the end.
  if (stalled.afterwards) stalled.afterwards();
  EXPECT_EQ(Leaked(before, OpenDescriptors()), "") << "descriptors left open by the job";
}

INSTANTIATE_TEST_SUITE_P(
    Waits, CancelledJobs,
    ::testing::Values(CancelRow{"NetworkPrinterThatNeverReads", NetworkPrinterThatNeverReads},
                      CancelRow{"ConnectionNobodyAnswers", ConnectionNobodyAnswers},
                      CancelRow{"PtyNobodyReads", PtyNobodyReads},
                      CancelRow{"FifoReaderNeverReads", FifoReaderNeverReads}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket::testing
