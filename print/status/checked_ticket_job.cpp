// Status, ticket, status. The ticket goes out exactly as without the check, on its own
// opening of the device: the requests never share its bytes.
#include "status/checked_ticket_job.h"

#include <algorithm>

#include "status/status_failures.h"
#include "status/status_query.h"
#include "status/status_texts.h"
#include "ticket/noting_reporter.h"
#include "ticket/ticket_job.h"

namespace qrticket {
namespace {

std::vector<std::string> Warnings(const StatusAnswers& answers) {
  std::vector<std::string> warnings;
  const auto facts = DecodeStatus(answers);
  if (std::find(facts.begin(), facts.end(), StatusFact::PaperNearEnd) != facts.end())
    warnings.emplace_back(StatusFactText(StatusFact::PaperNearEnd));
  return warnings;
}

}  // namespace

std::vector<std::string> PrintQrTestWithStatusCheck(const QrPrintSettings& settings,
                                                    FailureReporter& reporter,
                                                    const ChannelOptions& channel,
                                                    StatusOptions status, SystemCalls& sys,
                                                    JobResult* job) {
  const std::string& device = settings.deviceName;
  status.identity = false;  // the status is the question here; GS I would wait in the buffer
  status.connectTimeout = channel.connectTimeout;
  status.cancelFd = channel.cancelFd;
  JobResult notRun;
  notRun.status = JobResult::Status::Failed;
  JobResult& result = job != nullptr ? *job : notRun;
  result = notRun;

  // A ticket that cannot be laid out (an image the tool cannot draw) is refused before the
  // printer is asked anything: the device is not opened at all, as without the check.
  {
    NotingReporter laying(reporter);
    const LaidOutTicket ticket = QrTestBytes(settings, laying);
    if (laying.failed) {
      result = ticket.result;
      return {};
    }
  }

  StatusReport before;
  try {
    before = QueryPrinterStatus(device, status, sys);
    if (!before.ready()) {
      const std::string problems = ProblemCauses(before.status);
      if (problems.empty())
        throw failures::StateUnknownNothingPrinted(device, UnknownCauses(before.status));
      throw failures::NotReadyNothingPrinted(device, problems);
    }
  } catch (const PrintFailure& failure) {
    const PrintFailure shown = failure.code() == FailureCode::PrinterNotReady
                                   ? failure
                                   : failures::UncheckedNothingPrinted(failure);
    result.failure = shown.code();
    reporter.ShowFailure(kFailurePrefix + shown.description());
    return {};
  }

  NotingReporter noting(reporter);
  result = PrintQrTest(settings, noting, channel, sys);
  if (noting.failed) return {};

  try {
    const StatusReport after = QueryPrinterStatus(device, status, sys);
    if (!after.ready()) {
      const std::string problems = ProblemCauses(after.status);
      if (problems.empty())
        throw failures::SentButStateUnknown(device, UnknownCauses(after.status));
      throw failures::SentButNotReady(device, problems);
    }
    return Warnings(after.status);
  } catch (const PrintFailure& failure) {
    const PrintFailure shown = failure.code() == FailureCode::MayBeIncomplete
                                   ? failure
                                   : failures::SentButUnchecked(device, failure);
    reporter.ShowFailure(kFailurePrefix + shown.description());
  }
  return {};
}

}  // namespace qrticket
