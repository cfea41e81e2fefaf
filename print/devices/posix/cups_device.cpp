// One ticket, one raw CUPS job: submitted at Close, watched until CUPS says it is completed
// (or that its backend has sent every byte), cancelled on any failure.
#include "devices/posix/cups_device.h"

#include <algorithm>
#include <optional>

#include "devices/device_failures.h"
#include "devices/posix/cancellation.h"
#include "devices/posix/cups_connection.h"
#include "devices/posix/cups_failures.h"
#include "devices/posix/cups_job_states.h"
#include "devices/posix/sigpipe_guard.h"

namespace qrticket {
namespace {

using cups::Clock;

// How often the job is looked at while it prints: every 5 ms for its first 200 ms, since a
// raw job to a healthy printer ends within a few tens of milliseconds, then every 100 ms.
constexpr std::chrono::milliseconds kFirstPoll{5};
constexpr std::chrono::milliseconds kShortPolling{200};
constexpr std::chrono::milliseconds kPollInterval{100};
// After the backend has sent every byte, how long the printer may take to close its side
// before the job counts as delivered anyway (as for tcp://).
constexpr std::chrono::milliseconds kPrinterCloseGrace{2000};
// Cancelling a job after a failure: the whole attempt, a fresh connection included.
constexpr std::chrono::milliseconds kCancelBound{500};
// The best-effort look at the queue that explains a failure.
constexpr std::chrono::milliseconds kExplainBound{1000};

// The backend's state reason once it has written the whole document and waits for the
// printer to finish (CUPS's socket and IPP backends).
constexpr std::string_view kBackendSentAll = "cups-waiting-for-job-completed";
// The backend's state reason while it connects to the printer: nothing has gone out yet.

constexpr const char* kJobAttributes[] = {
    "job-state",          "job-state-message",         "job-printer-state-message",
    "job-media-progress", "job-impressions-completed", "job-k-octets-processed",
    "job-state-reasons",  "job-printer-state-reasons",
};
constexpr const char* kPrinterAttributes[] = {"printer-state", "printer-state-message"};

template <std::size_t N>
void RequestAttributes(ipp_t* request, const char* const (&names)[N]) {
  const cups::Library& lib = cups::Api();
  lib.ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                    static_cast<int>(N), nullptr, names);
}

// The failure for the request that just failed on `connection`: a cancel from outside, a
// scheduler that gave no answer in time (silent, trickling, or gone), a missing queue, or a
// refusal in CUPS's words.
PrintFailure LastFailure(const cups::Connection& connection, const std::string& queue) {
  const cups::Library& lib = cups::Api();
  if (connection.stopped() == cups::Connection::Stop::Cancelled) return failures::Interrupted();
  if (connection.stopped() == cups::Connection::Stop::Deadline ||
      lib.httpGetStatus(connection.http()) == HTTP_STATUS_ERROR)
    return failures::CupsNotResponding(cups::ServerName());
  if (lib.cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND) return failures::CupsQueueNotFound(queue);
  return failures::CupsRefused(queue, lib.cupsLastErrorString());
}

// What the job looks like now. `progress` changes whenever the job moves on: another state,
// more pages, more of the document read, another step of the backend.
struct JobFacts {
  int state = 0;
  std::string progress;
  std::string printerMessage;  // job-printer-state-message: the printer's words when it stopped
  std::string jobMessage;      // job-state-message
  std::string reasons;         // job-state-reasons keywords, "job-hold-until-specified"
  bool backendSentAll = false; // the backend has written every byte and waits for the printer
};

class CupsDevice final : public OutputDevice {
 public:
  CupsDevice(std::unique_ptr<cups::Connection> connection, std::string queue,
             const ChannelOptions& options)
      : connection_(std::move(connection)), queue_(std::move(queue)), options_(options) {}

  void Write(BytesView bytes) override { ticket_.append(bytes); }

  void Close() override {
    if (!connection_) return;
    const SigpipeGuard guard;  // a scheduler that hangs up must not end the program
    int job = 0;
    try {
      job = CreateJob();
      SendDocument(job);
      WaitUntilDelivered(job);
    } catch (const PrintFailure& failure) {
      if (job > 0) Cancel(job);
      connection_.reset();
      throw Told(failure);
    }
    connection_.reset();
  }

 private:
  http_t* Http() const { return connection_->http(); }
  Clock::time_point RequestDeadline() const { return Clock::now() + options_.stallTimeout; }

  int CreateJob() {
    const cups::Library& lib = cups::Api();
    const cups::Connection::Bound bound(*connection_, RequestDeadline());
    const int job = lib.cupsCreateJob(Http(), queue_.c_str(), "qrticket", 0, nullptr);
    if (job <= 0) throw LastFailure(*connection_, queue_);
    return job;
  }

  // The whole ticket as the job's only document, raw: one request, one bound.
  void SendDocument(int job) {
    const cups::Library& lib = cups::Api();
    const cups::Connection::Bound bound(*connection_, RequestDeadline());
    if (lib.cupsStartDocument(Http(), queue_.c_str(), job, "qrticket", CUPS_FORMAT_RAW,
                              /*last_document=*/1) != HTTP_STATUS_CONTINUE ||
        lib.cupsWriteRequestData(Http(), ticket_.data(), ticket_.size()) != HTTP_STATUS_CONTINUE ||
        lib.cupsFinishDocument(Http(), queue_.c_str()) > IPP_STATUS_OK_CONFLICTING)
      throw LastFailure(*connection_, queue_);
  }

  JobFacts ReadJob(int job, Clock::time_point deadline) {
    const cups::Library& lib = cups::Api();
    auto request = cups::NewRequest(IPP_OP_GET_JOB_ATTRIBUTES, "job-uri", cups::JobUri(job));
    RequestAttributes(request.get(), kJobAttributes);
    const cups::Connection::Bound bound(*connection_, deadline);
    const cups::Ipp response = cups::Send(*connection_, std::move(request));
    if (!response || lib.ippGetStatusCode(response.get()) > IPP_STATUS_OK_CONFLICTING)
      throw LastFailure(*connection_, queue_);
    ipp_t* r = response.get();
    JobFacts facts;
    facts.state = cups::Integer(r, "job-state", 0);
    facts.printerMessage = cups::Text(r, "job-printer-state-message");
    facts.jobMessage = cups::Text(r, "job-state-message");
    facts.reasons = cups::Keywords(r, "job-state-reasons");
    const std::string backend = cups::Keywords(r, "job-printer-state-reasons");
    facts.backendSentAll = backend.find(kBackendSentAll) != std::string::npos;
    facts.progress = std::to_string(facts.state) + "/" +
                     std::to_string(cups::Integer(r, "job-media-progress", -1)) + "/" +
                     std::to_string(cups::Integer(r, "job-impressions-completed", -1)) + "/" +
                     std::to_string(cups::Integer(r, "job-k-octets-processed", -1)) + "/" +
                     backend + "/" + facts.printerMessage;
    return facts;
  }

  // Best effort: only used to explain a failure.
  std::pair<bool, std::string> ReadPrinter() {
    auto request =
        cups::NewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, "printer-uri", cups::QueueUri(queue_));
    RequestAttributes(request.get(), kPrinterAttributes);
    const cups::Connection::Bound bound(*connection_, Clock::now() + kExplainBound);
    const cups::Ipp response = cups::Send(*connection_, std::move(request));
    if (!response) return {false, {}};
    return {cups::Integer(response.get(), "printer-state", 0) == IPP_PSTATE_STOPPED,
            cups::Text(response.get(), "printer-state-message")};
  }

  // CUPS's own words for why the job stopped: the printer's message when the job stopped, the
  // queue's message now, the job's message, the job's state reasons.
  std::string Reason(const JobFacts& job, const std::string& printerMessage) {
    for (const std::string* words : {&job.printerMessage, &printerMessage, &job.jobMessage})
      if (!words->empty()) return *words;
    return job.reasons;
  }

  // Completed, or every byte sent by the backend and the printer given kPrinterCloseGrace to
  // close its side: delivered, as far as CUPS can see. A printer that keeps its connection
  // open holds the job (and the queue) until the backend gives up on it; that is CUPS's to do.
  void WaitUntilDelivered(int job) {
    const auto stall = options_.stallTimeout;
    auto deadline = Clock::now() + stall;
    std::optional<Clock::time_point> sentAllAt;
    std::string lastProgress;
    const auto started = Clock::now();
    for (;;) {
      const JobFacts facts = ReadJob(job, RequestDeadline());
      if (facts.progress != lastProgress) {
        lastProgress = facts.progress;
        deadline = Clock::now() + stall;
      }
      const cups::JobStateMeaning& meaning = cups::MeaningOf(facts.state);
      if (meaning.outcome == cups::JobOutcome::Completed) return;
      if (meaning.outcome == cups::JobOutcome::Failed) {
        const auto [stopped, message] = ReadPrinter();
        throw meaning.failure(queue_, job, Reason(facts, message));
      }
      if (facts.backendSentAll && meaning.outcome == cups::JobOutcome::Wait) {
        backendSentAll_ = true;
        if (!sentAllAt) sentAllAt = Clock::now();
        if (Clock::now() - *sentAllAt >= kPrinterCloseGrace) return;
      }
      auto left = deadline - Clock::now();
      if (sentAllAt)
        left = std::min<Clock::duration>(left, *sentAllAt + kPrinterCloseGrace - Clock::now());
      if (left <= Clock::duration::zero()) {
        if (sentAllAt) return;
        const auto [stopped, message] = ReadPrinter();
        throw failures::CupsTimedOut(queue_, job, stall, stopped, Reason(facts, message));
      }
      // A pause that a cancel cuts short; the job is then cancelled like any failed one.
      const auto pause = Clock::now() - started < kShortPolling ? kFirstPoll : kPollInterval;
      const auto wait = std::chrono::ceil<std::chrono::milliseconds>(
          std::min<Clock::duration>(left, pause));
      PollOrCancel(SystemCalls::Real(), nullptr, 0, options_.cancelFd,
                   static_cast<int>(wait.count()));
    }
  }

  // A failure after the backend had sent everything says that the printer may have it all.
  // Only that moment is certain: the backend's "connecting-to-device" ends with the host
  // lookup, before it connects, and a refused connection keeps it clear while the backend
  // retries, so no reason tells "sending" from "still trying to connect".
  PrintFailure Told(const PrintFailure& failure) const {
    if (backendSentAll_) return failures::CupsCancelledAfterSending(failure);
    return failure;
  }

  // Cancels the job so that it cannot print later, within kCancelBound. On a connection that
  // has failed, once more on a fresh one; a job that has already ended needs nothing. The
  // cancel descriptor is not watched here: it is what brought us here.
  void Cancel(int job) {
    const cups::Library& lib = cups::Api();
    const auto end = Clock::now() + kCancelBound;
    {
      const cups::Connection::Bound bound(*connection_, end);
      if (lib.cupsCancelJob2(Http(), queue_.c_str(), job, 0) <= IPP_STATUS_OK_CONFLICTING) return;
      if (lib.httpGetStatus(Http()) != HTTP_STATUS_ERROR &&
          connection_->stopped() == cups::Connection::Stop::None)
        return;  // refused: the job is over
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now());
    if (left.count() <= 0) return;
    if (auto fresh = cups::Connection::Open(left)) {
      const cups::Connection::Bound bound(*fresh, end);
      lib.cupsCancelJob2(fresh->http(), queue_.c_str(), job, 0);
    }
  }

  std::unique_ptr<cups::Connection> connection_;
  std::string queue_;
  ChannelOptions options_;
  Bytes ticket_;
  bool backendSentAll_ = false;  // the backend said it had sent every byte
};

}  // namespace

std::unique_ptr<OutputDevice> OpenCupsDevice(const DeviceTarget& target,
                                             const ChannelOptions& options) {
  const cups::Library& lib = cups::Api();
  const SigpipeGuard guard;
  bool cancelled = false;
  auto connection = cups::Connection::Open(options.connectTimeout, options.cancelFd, &cancelled);
  if (cancelled) throw failures::Interrupted();
  if (!connection) throw failures::CupsUnavailable(cups::ServerName());

  // The default destination and the queue's check: one bound for both.
  std::string queue = target.queue;
  auto bound =
      std::make_unique<cups::Connection::Bound>(*connection, Clock::now() + options.stallTimeout);
  if (queue.empty()) {
    const char* destination = lib.cupsGetDefault2(connection->http());
    if (destination == nullptr) {
      if (connection->stopped() == cups::Connection::Stop::Cancelled) throw failures::Interrupted();
      if (connection->stopped() == cups::Connection::Stop::Deadline ||
          lib.httpGetStatus(connection->http()) == HTTP_STATUS_ERROR)
        throw failures::CupsNotResponding(cups::ServerName());
      throw failures::CupsNoDefault();
    }
    queue = destination;
  }

  auto request =
      cups::NewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, "printer-uri", cups::QueueUri(queue));
  RequestAttributes(request.get(), kPrinterAttributes);
  const cups::Ipp response = cups::Send(*connection, std::move(request));
  if (!response || lib.ippGetStatusCode(response.get()) > IPP_STATUS_OK_CONFLICTING)
    throw LastFailure(*connection, queue);
  bound.reset();
  return std::make_unique<CupsDevice>(std::move(connection), std::move(queue), options);
}

}  // namespace qrticket
