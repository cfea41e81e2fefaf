// One ticket, one raw CUPS job: submitted at Close, watched until CUPS says it is completed,
// cancelled on any failure.
#include "devices/cups_device.h"

#include <algorithm>

#include "devices/cancellation.h"
#include "devices/cups_connection.h"
#include "devices/cups_job_states.h"
#include "devices/device_failures.h"
#include "devices/sigpipe_guard.h"

namespace qrticket {
namespace {

using Clock = std::chrono::steady_clock;

// How often the job is looked at while it prints.
constexpr std::chrono::milliseconds kPollInterval{100};

constexpr const char* kJobAttributes[] = {
    "job-state",          "job-state-message",         "job-printer-state-message",
    "job-media-progress", "job-impressions-completed", "job-k-octets-processed",
    "job-state-reasons",
};
constexpr const char* kPrinterAttributes[] = {"printer-state", "printer-state-message"};

template <std::size_t N>
void RequestAttributes(ipp_t* request, const char* const (&names)[N]) {
  const cups::Library& lib = cups::Api();
  lib.ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                    static_cast<int>(N), nullptr, names);
}

// The failure for the request that just failed on `connection`: a scheduler that gave no
// answer (silent past the time-out, or gone), a missing queue, or a refusal in CUPS's words.
PrintFailure LastFailure(const cups::Connection& connection, const std::string& queue) {
  const cups::Library& lib = cups::Api();
  if (lib.httpGetStatus(connection.http()) == HTTP_STATUS_ERROR)
    return failures::CupsNotResponding(cups::ServerName());
  if (lib.cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND) return failures::CupsQueueNotFound(queue);
  return failures::CupsRefused(queue, lib.cupsLastErrorString());
}

// What the job looks like now. `progress` changes whenever the job moves on: another state,
// more pages, more of the document read by the printer.
struct JobFacts {
  int state = 0;
  std::string progress;
  std::string printerMessage;  // job-printer-state-message: the printer's words when it stopped
  std::string jobMessage;      // job-state-message
  std::string reasons;         // job-state-reasons keywords, "job-hold-until-specified"
};

// Every keyword of a multi-valued attribute, joined by ", ".
std::string Keywords(ipp_t* response, const char* name) {
  const cups::Library& lib = cups::Api();
  ipp_attribute_t* attribute = lib.ippFindAttribute(response, name, IPP_TAG_KEYWORD);
  std::string joined;
  for (int i = 0; attribute != nullptr && i < lib.ippGetCount(attribute); ++i) {
    const char* keyword = lib.ippGetString(attribute, i, nullptr);
    if (keyword == nullptr || std::string_view(keyword) == "none") continue;
    if (!joined.empty()) joined += ", ";
    joined += keyword;
  }
  return joined;
}

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
      WaitUntilCompleted(job);
    } catch (const PrintFailure&) {
      if (job > 0) Cancel(job);
      connection_.reset();
      throw;
    }
    connection_.reset();
  }

 private:
  http_t* Http() const { return connection_->http(); }

  int CreateJob() {
    const cups::Library& lib = cups::Api();
    const int job = lib.cupsCreateJob(Http(), queue_.c_str(), "qrticket", 0, nullptr);
    if (job <= 0) throw LastFailure(*connection_, queue_);
    return job;
  }

  // The whole ticket as the job's only document, raw.
  void SendDocument(int job) {
    const cups::Library& lib = cups::Api();
    if (lib.cupsStartDocument(Http(), queue_.c_str(), job, "qrticket", CUPS_FORMAT_RAW,
                              /*last_document=*/1) != HTTP_STATUS_CONTINUE ||
        lib.cupsWriteRequestData(Http(), ticket_.data(), ticket_.size()) != HTTP_STATUS_CONTINUE ||
        lib.cupsFinishDocument(Http(), queue_.c_str()) > IPP_STATUS_OK_CONFLICTING)
      throw LastFailure(*connection_, queue_);
  }

  JobFacts ReadJob(int job) {
    const cups::Library& lib = cups::Api();
    auto request = cups::NewRequest(IPP_OP_GET_JOB_ATTRIBUTES, "job-uri", cups::JobUri(job));
    RequestAttributes(request.get(), kJobAttributes);
    const cups::Ipp response = cups::Send(*connection_, std::move(request));
    if (!response || lib.ippGetStatusCode(response.get()) > IPP_STATUS_OK_CONFLICTING)
      throw LastFailure(*connection_, queue_);
    ipp_t* r = response.get();
    JobFacts facts;
    facts.state = cups::Integer(r, "job-state", 0);
    facts.progress = std::to_string(facts.state) + "/" +
                     std::to_string(cups::Integer(r, "job-media-progress", -1)) + "/" +
                     std::to_string(cups::Integer(r, "job-impressions-completed", -1)) + "/" +
                     std::to_string(cups::Integer(r, "job-k-octets-processed", -1));
    facts.printerMessage = cups::Text(r, "job-printer-state-message");
    facts.jobMessage = cups::Text(r, "job-state-message");
    facts.reasons = Keywords(r, "job-state-reasons");
    return facts;
  }

  // Best effort: only used to explain a failure.
  std::pair<bool, std::string> ReadPrinter() {
    auto request =
        cups::NewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, "printer-uri", cups::QueueUri(queue_));
    RequestAttributes(request.get(), kPrinterAttributes);
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

  void WaitUntilCompleted(int job) {
    const auto stall = options_.stallTimeout;
    auto deadline = Clock::now() + stall;
    std::string lastProgress;
    for (;;) {
      const JobFacts facts = ReadJob(job);
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
      const auto left = deadline - Clock::now();
      if (left <= Clock::duration::zero()) {
        const auto [stopped, message] = ReadPrinter();
        throw failures::CupsTimedOut(queue_, job, stall, stopped, Reason(facts, message));
      }
      // A pause that a cancel cuts short; the job is then cancelled like any failed one.
      const auto pause = std::chrono::ceil<std::chrono::milliseconds>(
          std::min<Clock::duration>(left, kPollInterval));
      PollOrCancel(SystemCalls::Real(), nullptr, 0, options_.cancelFd,
                   static_cast<int>(pause.count()));
    }
  }

  // Cancels the job so that it cannot print later. On a connection that has failed, once more
  // on a fresh one; a job that has already ended needs nothing.
  void Cancel(int job) {
    const cups::Library& lib = cups::Api();
    if (lib.cupsCancelJob2(Http(), queue_.c_str(), job, 0) <= IPP_STATUS_OK_CONFLICTING) return;
    if (lib.httpGetStatus(Http()) != HTTP_STATUS_ERROR) return;  // refused: the job is over
    if (auto fresh = cups::Connection::Open(options_.connectTimeout, options_.stallTimeout))
      lib.cupsCancelJob2(fresh->http(), queue_.c_str(), job, 0);
  }

  std::unique_ptr<cups::Connection> connection_;
  std::string queue_;
  ChannelOptions options_;
  Bytes ticket_;
};

}  // namespace

std::unique_ptr<OutputDevice> OpenCupsDevice(const DeviceTarget& target,
                                             const ChannelOptions& options) {
  const cups::Library& lib = cups::Api();
  const SigpipeGuard guard;
  auto connection = cups::Connection::Open(options.connectTimeout, options.stallTimeout);
  if (!connection) throw failures::CupsUnavailable(cups::ServerName());

  std::string queue = target.queue;
  if (queue.empty()) {
    const char* destination = lib.cupsGetDefault2(connection->http());
    if (destination == nullptr) {
      if (lib.httpGetStatus(connection->http()) == HTTP_STATUS_ERROR)
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
  return std::make_unique<CupsDevice>(std::move(connection), std::move(queue), options);
}

}  // namespace qrticket
