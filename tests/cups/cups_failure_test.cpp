// Every way a CUPS job can fail: each row a clear failure in CUPS's own words, within its
// bound, and no job left in the queue to print later.
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <thread>

#include "cups_environment.h"
#include "devices/device_failures.h"
#include "devices/posix/cups_failures.h"
#include "job_runner.h"
#include "loopback_printer.h"
#include "ticket/ticket_job.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;

struct Scenario {
  std::string device;
  std::chrono::milliseconds stall{1000};
  // The description the job must show, given the job number it names (0 when none).
  std::function<std::string(int job)> expected;
  // The reason is CUPS's own text, worded by the scheduler: only its presence is checked.
  bool reasonFromCups = false;
  // Runs beside the job (another user cancelling it).
  std::function<void()> meanwhile;
  std::shared_ptr<void> keepAlive;
};

Scenario On(std::string device, std::chrono::milliseconds stall = 1000ms,
            bool reasonFromCups = false) {
  Scenario s;
  s.device = std::move(device);
  s.stall = stall;
  s.reasonFromCups = reasonFromCups;
  return s;
}

struct FailureRow {
  const char* name;
  std::function<Scenario(PrivateCupsd& cupsd, const std::string& queue)> make;
};

void PrintTo(const FailureRow& row, std::ostream* out) { *out << row.name; }

std::string PrinterUri(const std::shared_ptr<LoopbackPrinter>& printer) {
  return "socket://127.0.0.1:" + std::to_string(printer->port());
}

// A queue whose printer reads everything; rows then spoil it.
std::shared_ptr<LoopbackPrinter> HealthyQueue(PrivateCupsd& cupsd, const std::string& queue,
                                              std::vector<std::string> extra = {}) {
  auto printer = std::make_shared<LoopbackPrinter>();
  cupsd.AddRawQueue(queue, PrinterUri(printer), std::move(extra));
  return printer;
}

Scenario MissingQueue(PrivateCupsd&, const std::string&) {
  Scenario s = On("cups:Nenhuma");
  s.expected = [](int) { return failures::CupsQueueNotFound("Nenhuma").description(); };
  return s;
}

Scenario NoDefaultDestination(PrivateCupsd& cupsd, const std::string& queue) {
  Scenario s = On("cups:");
  s.expected = [](int) { return failures::CupsNoDefault().description(); };
  s.keepAlive = HealthyQueue(cupsd, queue);  // a queue exists, but none is the default
  return s;
}

Scenario InvalidQueueName(PrivateCupsd&, const std::string&) {
  Scenario s = On("cups:a/b");
  s.expected = [](int) { return failures::BadFileName("cups:a/b").description(); };
  return s;
}

Scenario StoppedQueue(PrivateCupsd& cupsd, const std::string& queue) {
  Scenario s = On("cups:" + queue, 1500ms);
  s.keepAlive = HealthyQueue(cupsd, queue);
  EXPECT_EQ(cupsd.Command("cupsdisable", {"-r", "Sem papel", queue}).exitCode, 0);
  s.expected = [queue](int job) {
    return failures::CupsTimedOut(queue, job, 1500ms, true, "Sem papel").description();
  };
  return s;
}

Scenario HeldJob(PrivateCupsd& cupsd, const std::string& queue) {
  Scenario s = On("cups:" + queue);
  s.keepAlive = HealthyQueue(cupsd, queue, {"-o", "job-hold-until-default=indefinite"});
  s.expected = [queue](int job) {
    return failures::CupsJobHeld(queue, job, "job-hold-until-specified").description();
  };
  return s;
}

Scenario RejectingQueue(PrivateCupsd& cupsd, const std::string& queue) {
  Scenario s = On("cups:" + queue, 1000ms, true);
  s.keepAlive = HealthyQueue(cupsd, queue);
  EXPECT_EQ(cupsd.Command("cupsreject", {"-r", "Fechado", queue}).exitCode, 0);
  s.expected = [queue](int) { return failures::CupsRefused(queue, "").description(); };
  return s;
}

// The socket backend keeps trying a printer that refuses the connection.
Scenario PrinterNotAnswering(PrivateCupsd& cupsd, const std::string& queue) {
  auto port = std::make_shared<RefusingPort>();
  cupsd.AddRawQueue(queue, "socket://" + port->DeviceName().substr(std::string("tcp://").size()));
  Scenario s = On("cups:" + queue, 1500ms, true);
  s.keepAlive = port;
  s.expected = [queue](int job) {
    return failures::CupsTimedOut(queue, job, 1500ms, false, "").description();
  };
  return s;
}

// With the "abort-job" error policy, a backend that gives up (after its one-second connect
// time-out) aborts the job.
Scenario AbortedJob(PrivateCupsd& cupsd, const std::string& queue) {
  auto port = std::make_shared<RefusingPort>();
  cupsd.AddRawQueue(
      queue,
      "socket://" + port->DeviceName().substr(std::string("tcp://").size()) + "/?contimeout=1",
      {"-o", "printer-error-policy=abort-job"});
  Scenario s = On("cups:" + queue, 20000ms, true);
  s.keepAlive = port;
  s.expected = [queue](int job) { return failures::CupsJobAborted(queue, job, "").description(); };
  return s;
}

// Someone cancels the job while it waits in a stopped queue.
Scenario CancelledElsewhere(PrivateCupsd& cupsd, const std::string& queue) {
  Scenario s = On("cups:" + queue, 20000ms, true);
  s.keepAlive = HealthyQueue(cupsd, queue);
  EXPECT_EQ(cupsd.Command("cupsdisable", {queue}).exitCode, 0);
  s.meanwhile = [&cupsd, queue] {
    PollUntil([&] { return !cupsd.PendingJobs(queue).empty(); }, 10s);
    cupsd.Command("cancel", {"-a", queue});
  };
  s.expected = [queue](int job) {
    return failures::CupsJobCancelled(queue, job, "").description();
  };
  return s;
}

int JobNumberIn(const std::string& message) {
  static const std::regex number("trabalho ([0-9]+)");
  std::smatch match;
  return std::regex_search(message, match, number) ? std::stoi(match[1]) : 0;
}

class CupsFailures : public CupsTest, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(CupsFailures, FailClearlyAndLeaveNothingToPrint) {
  const std::string queue = GetParam().name;
  Scenario s = GetParam().make(*cupsd_, queue);
  std::thread beside;
  if (s.meanwhile) beside = std::thread(s.meanwhile);

  const JobOutcome outcome =
      RunJob(TicketTo(s.device, "texto"), {.stallTimeout = s.stall, .connectTimeout = 5000ms});
  if (beside.joinable()) beside.join();

  ASSERT_TRUE(outcome.message) << "the job succeeded";
  EXPECT_EQ(outcome.reports, 1);
  const std::string& message = *outcome.message;
  const std::string expected = kFailurePrefix + s.expected(JobNumberIn(message));
  if (s.reasonFromCups) {
    EXPECT_TRUE(message.starts_with(expected + " (CUPS: \"") && message.ends_with("\")"))
        << message << "\nexpected: " << expected << " (CUPS: \"...\")";
  } else {
    EXPECT_EQ(message, expected);
  }
  EXPECT_LT(outcome.elapsed, s.stall + 15s);
  EXPECT_EQ(cupsd_->PendingJobs(queue), "") << "a job was left to print later\n" << cupsd_->Log();
}

INSTANTIATE_TEST_SUITE_P(Rows, CupsFailures,
                         ::testing::Values(FailureRow{"MissingQueue", MissingQueue},
                                           FailureRow{"NoDefaultDestination", NoDefaultDestination},
                                           FailureRow{"InvalidQueueName", InvalidQueueName},
                                           FailureRow{"StoppedQueue", StoppedQueue},
                                           FailureRow{"HeldJob", HeldJob},
                                           FailureRow{"RejectingQueue", RejectingQueue},
                                           FailureRow{"PrinterNotAnswering", PrinterNotAnswering},
                                           FailureRow{"AbortedJob", AbortedJob},
                                           FailureRow{"CancelledElsewhere", CancelledElsewhere}),
                         [](const auto& info) { return std::string(info.param.name); });

// A job stopped from outside (Ctrl+C) while it waits in a stopped queue fails as interrupted at
// once, and is cancelled there, so it does not print when the queue starts again.
class CupsCancel : public CupsTest {};

TEST_F(CupsCancel, AJobStoppedFromOutsideIsCancelledInTheQueue) {
  const std::string queue = "Parada";
  const auto printer = HealthyQueue(*cupsd_, queue);
  ASSERT_EQ(cupsd_->Command("cupsdisable", {queue}).exitCode, 0);
  int cancel[2];
  ASSERT_EQ(::pipe(cancel), 0);
  std::thread canceller([&] {
    PollUntil([&] { return !cupsd_->PendingJobs(queue).empty(); }, 10s);
    EXPECT_EQ(::write(cancel[1], "x", 1), 1);
  });
  const JobOutcome outcome = RunJob(
      TicketTo("cups:" + queue, "texto"),
      {.stallTimeout = 30000ms, .connectTimeout = 5000ms, .cancelFd = cancel[0]});
  canceller.join();
  ::close(cancel[0]);
  ::close(cancel[1]);
  EXPECT_EQ(outcome.message, kFailurePrefix + failures::Interrupted().description());
  EXPECT_LT(outcome.elapsed, 20s);
  EXPECT_EQ(cupsd_->PendingJobs(queue), "") << "a job was left to print later\n" << cupsd_->Log();
}

}  // namespace
}  // namespace qrticket::testing
