// Every wait on the scheduler ends at its bound whatever the scheduler sends, and a signal ends
// it at once; a job whose backend has sent the whole ticket is not reported as cancelled.
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <thread>

#include "command_runner.h"
#include "cups_environment.h"
#include "default_ticket.h"
#include "devices/device_failures.h"
#include "devices/posix/cups_failures.h"
#include "fake_scheduler.h"
#include "job_runner.h"
#include "loopback_printer.h"
#include "ticket/ticket_job.h"
#include "ticket_bytes.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;

const char* KindName(FakeScheduler::Kind kind) {
  return kind == FakeScheduler::Kind::Silent ? "Silent" : "Trickle";
}

struct BoundRow {
  const char* name;
  FakeScheduler::Kind scheduler;
  std::vector<std::string> args;
  int signal;  // 0: the bound ends it
  int exitCode;
  std::chrono::milliseconds within;  // from the start, or from the signal
};
void PrintTo(const BoundRow& row, std::ostream* out) { *out << row.name; }

class SchedulerThatDoesNotAnswer : public ::testing::TestWithParam<BoundRow> {};

TEST_P(SchedulerThatDoesNotAnswer, EndsAtTheBoundOrTheSignal) {
  const BoundRow& row = GetParam();
  FakeScheduler scheduler(row.scheduler);
  ASSERT_TRUE(scheduler.ok());
  TempDir settings;
  UseCupsServer(scheduler.server(), settings.path());  // inherited by the child
  Clock::time_point signalled{};
  const auto start = Clock::now();
  const CommandRun run = RunQrticket(row.args, {.whileRunning = [&](pid_t pid) {
                                       if (row.signal == 0) return;
                                       PollUntil([&] { return scheduler.connections() > 0; }, 5s);
                                       std::this_thread::sleep_for(300ms);  // into a request
                                       signalled = Clock::now();
                                       ::kill(pid, row.signal);
                                     }});
  const auto ended = Clock::now();
  EXPECT_FALSE(run.killed) << "the signal killed the process";
  EXPECT_EQ(run.exitCode, row.exitCode) << run.out << run.err;
  EXPECT_GT(scheduler.connections(), 0);
  EXPECT_LT(ended - (row.signal == 0 ? start : signalled), row.within)
      << KindName(row.scheduler) << " scheduler";
  if (row.signal != 0 && row.args.front() == "--device") {
    EXPECT_EQ(run.err, kFailurePrefix + failures::Interrupted().description() + "\n");
  }
}

const std::vector<std::string> kList = {"--list-devices"};
const std::vector<std::string> kJob = {"--device", "cups:Recibos", "--timeout", "3"};

INSTANTIATE_TEST_SUITE_P(
    Requests, SchedulerThatDoesNotAnswer,
    ::testing::Values(
        // The device list stays quick: 2 s for the whole of CUPS's part.
        BoundRow{"ListWithASilentScheduler", FakeScheduler::Kind::Silent, kList, 0, 0, 3000ms},
        BoundRow{"ListWithATricklingScheduler", FakeScheduler::Kind::Trickle, kList, 0, 0, 3000ms},
        BoundRow{"SigtermDuringTheList", FakeScheduler::Kind::Trickle, kList, SIGTERM, 143, 1000ms},
        BoundRow{"SighupDuringTheList", FakeScheduler::Kind::Silent, kList, SIGHUP, 129, 1000ms},
        BoundRow{"CtrlCDuringTheList", FakeScheduler::Kind::Trickle, kList, SIGINT, 130, 1000ms},
        // A job: each request within the stall time-out, the whole request.
        BoundRow{"JobWithATricklingScheduler", FakeScheduler::Kind::Trickle, kJob, 0, 1, 5000ms},
        BoundRow{"JobWithASilentScheduler", FakeScheduler::Kind::Silent, kJob, 0, 1, 5000ms},
        BoundRow{"SigtermDuringAJob", FakeScheduler::Kind::Trickle, kJob, SIGTERM, 143, 1000ms},
        BoundRow{"CtrlCDuringAJob", FakeScheduler::Kind::Silent, kJob, SIGINT, 130, 1000ms}),
    [](const auto& info) { return std::string(info.param.name); });

// The real scheduler, the socket backend and printers that take the ticket in their own time.
class CupsBackendProgress : public CupsTest {
 protected:
  std::string Queue(const LoopbackPrinter& printer) {
    cupsd_->AddRawQueue("Recibos", "socket://127.0.0.1:" + std::to_string(printer.port()));
    return "cups:Recibos";
  }
};

// It takes every byte and keeps its side open (many printers wait for more): the backend says
// it has sent everything and waits for the printer, which is progress, not a stall.
TEST_F(CupsBackendProgress, APrinterThatKeepsTheConnectionOpenGotTheTicket) {
  LoopbackPrinter printer({.kind = PrinterBehaviour::Kind::ReadAllKeepOpen});
  const QrPrintSettings settings = DefaultTicketTo(Queue(printer));
  const JobOutcome outcome = RunJob(settings, {.stallTimeout = 1000ms, .connectTimeout = 5000ms});
  EXPECT_FALSE(outcome.message) << *outcome.message << cupsd_->Log();
  EXPECT_LT(outcome.elapsed, 6s);
  EXPECT_EQ(Hex(printer.received()), Hex(TicketBytes(settings)));
}

// It reads nothing for 3 s, then everything: the kernel holds the ticket meanwhile, so the
// backend has sent it all; a cancel then would not stop it from printing.
TEST_F(CupsBackendProgress, APrinterThatReadsLateGotTheTicket) {
  LoopbackPrinter printer({.kind = PrinterBehaviour::Kind::ReadLate, .pause = 3000ms});
  const QrPrintSettings settings = DefaultTicketTo(Queue(printer));
  const JobOutcome outcome = RunJob(settings, {.stallTimeout = 1000ms, .connectTimeout = 5000ms});
  EXPECT_FALSE(outcome.message) << *outcome.message << cupsd_->Log();
  ASSERT_TRUE(printer.WaitFinished(10s));
  EXPECT_EQ(Hex(printer.received()), Hex(TicketBytes(settings)));
}

// Stopped once the backend has sent everything: interrupted, and the ticket may have printed.
TEST_F(CupsBackendProgress, AStopAfterTheBackendSentEverythingSaysItMayHavePrinted) {
  LoopbackPrinter printer({.kind = PrinterBehaviour::Kind::ReadAllKeepOpen});
  const QrPrintSettings settings = DefaultTicketTo(Queue(printer));
  int cancel[2];
  ASSERT_EQ(::pipe(cancel), 0);
  std::thread canceller([&] {
    PollUntil([&] { return printer.received().size() == TicketBytes(settings).size(); }, 10s);
    std::this_thread::sleep_for(400ms);  // the job has seen the backend's word by now
    EXPECT_EQ(::write(cancel[1], "x", 1), 1);
  });
  const JobOutcome outcome = RunJob(
      settings, {.stallTimeout = 10000ms, .connectTimeout = 5000ms, .cancelFd = cancel[0]});
  canceller.join();
  ::close(cancel[0]);
  ::close(cancel[1]);
  EXPECT_EQ(outcome.message, kFailurePrefix +
                                 failures::CupsCancelledAfterSending(failures::Interrupted())
                                     .description());
  EXPECT_LT(outcome.elapsed, 5s);
}

}  // namespace
}  // namespace qrticket::testing
