// One request, then its answer, within bounds; unasked bytes and answers in pieces are sorted
// out by AnswerReader.
#include "status/status_query.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "status/status_answer_reader.h"
#include "status/status_failures.h"

namespace qrticket {
namespace {

using Clock = StatusLink::Clock;

constexpr char kDle = 0x10, kEot = 0x04, kGs = 0x1D;

constexpr std::array kStatusRequests = {StatusRequest::Printer, StatusRequest::OfflineCause,
                                        StatusRequest::ErrorCause, StatusRequest::PaperSensor};
// Names first, the one-byte IDs after: the names say most, and printers that lack the
// extended forms are skipped after the first of them goes unanswered. The serial number is
// the one several printers leave out, so it comes last of the names.
constexpr std::array kIdentityRequests = {
    IdentityRequest::Maker,        IdentityRequest::ModelName, IdentityRequest::Firmware,
    IdentityRequest::SerialNumber, IdentityRequest::ModelId,   IdentityRequest::TypeId,
    IdentityRequest::VersionId,
};

std::optional<std::uint8_t>& Slot(StatusAnswers& answers, StatusRequest request) {
  switch (request) {
    case StatusRequest::Printer: return answers.printer;
    case StatusRequest::OfflineCause: return answers.offlineCause;
    case StatusRequest::ErrorCause: return answers.errorCause;
    case StatusRequest::PaperSensor: break;
  }
  return answers.paperSensor;
}

void Store(PrinterIdentity& identity, IdentityRequest request, const Bytes& answer) {
  const auto byte = static_cast<std::uint8_t>(answer.empty() ? 0 : answer[0]);
  switch (request) {
    case IdentityRequest::ModelId: identity.modelId = byte; break;
    case IdentityRequest::TypeId: identity.typeId = byte; break;
    case IdentityRequest::VersionId: identity.versionId = byte; break;
    case IdentityRequest::Firmware: identity.firmware = answer; break;
    case IdentityRequest::Maker: identity.maker = answer; break;
    case IdentityRequest::ModelName: identity.modelName = answer; break;
    case IdentityRequest::SerialNumber: identity.serialNumber = answer; break;
  }
}

class Exchange {
 public:
  Exchange(StatusLink& link, std::string_view device, const StatusOptions& options)
      : link_(link),
        device_(device),
        options_(options),
        end_(Clock::now() + options.whole),
        reader_(link.CarriesFlowControl()) {}

  // Sends `request` and waits for an answer of `kind`; nullopt when none came in time. A text
  // that has begun is read to its own NUL, within the whole bound, so that its end is never
  // taken for the next answer. Throws UnaskedData when bytes that answer nothing come.
  std::optional<Bytes> Ask(BytesView request, AnswerKind kind) {
    if (link_.HungUp()) return std::nullopt;
    SetAsidePending();
    auto deadline = std::min(Clock::now() + options_.perRequest, end_);
    if (Clock::now() >= deadline || !link_.Send(request, deadline)) return GiveUp();
    asked_ = true;
    bool fresh = false;  // bytes came since the last turn
    for (;;) {
      auto answer = reader_.Take(kind);
      ThrowIfStray();
      if (answer) {
        lateAnswerPossible_ = false;
        return answer;
      }
      // A text under way gets a request's wait after each of its pieces, however slow.
      if (fresh && reader_.TextUnderway())
        deadline = std::min(Clock::now() + options_.perRequest, end_);
      // Checked on every turn: a printer that keeps sending must not keep the wait going.
      if (Clock::now() >= deadline) break;
      Bytes incoming;
      if (!link_.Receive(incoming, deadline)) break;
      reader_.Feed(incoming);
      fresh = true;
    }
    return GiveUp();
  }

  // Before the first request the line kept bringing bytes that were no answers: what keeps a
  // printer from answering is more likely that than silence.
  bool noisyBeforeFirst() const { return noisyBeforeFirst_; }

  // After the last request: bytes that come unasked once it was answered make the answers as
  // unsure as bytes between them would.
  void Finish() {
    if (asked_ && TimeLeft()) SetAsidePending();
  }

  bool TimeLeft() const { return Clock::now() < end_ && !link_.HungUp(); }
  bool HungUp() const { return link_.HungUp(); }
  std::size_t unaskedCount() const { return reader_.unaskedCount(); }
  std::vector<Bytes> lastUnasked() const {
    return {reader_.lastUnasked().begin(), reader_.lastUnasked().end()};
  }

 private:
  std::optional<Bytes> GiveUp() {
    reader_.SetAside();  // the start of a text that did not end in time is no answer
    reader_.ForgetStray();
    lateAnswerPossible_ = true;
    return std::nullopt;
  }

  void ThrowIfStray() const {
    if (reader_.strayCount() > 0) throw failures::UnaskedData(device_);
  }

  // Reads until the link has been quiet for kQuietTime, within kDrainBound and the whole
  // bound, and sets it all aside. Stale input before the first request and a late answer to a
  // request given up are expected; anything else but automatic status and flow control came
  // unasked.
  void SetAsidePending() {
    reader_.SetAside();
    const auto until = std::min(Clock::now() + kDrainBound, end_);
    bool quiet = false;
    while (Clock::now() < until && !link_.HungUp()) {
      Bytes incoming;
      if (!link_.Receive(incoming, std::min(Clock::now() + kQuietTime, until))) {
        quiet = true;
        break;
      }
      reader_.Feed(incoming);
      reader_.SetAside();
    }
    if (!asked_ && !quiet && reader_.strayCount() > 0) noisyBeforeFirst_ = true;
    if (!asked_ || lateAnswerPossible_) reader_.ForgetStray();
    ThrowIfStray();
  }

  StatusLink& link_;
  std::string_view device_;
  const StatusOptions& options_;
  const Clock::time_point end_;
  AnswerReader reader_;
  bool asked_ = false;
  bool lateAnswerPossible_ = false;
  bool noisyBeforeFirst_ = false;
};

}  // namespace

Bytes StatusRequestBytes(StatusRequest request) {
  return {kDle, kEot, static_cast<char>(request)};
}

Bytes IdentityRequestBytes(IdentityRequest request) {
  return {kGs, 'I', static_cast<char>(request)};
}

StatusReport AskPrinter(StatusLink& link, std::string_view device, const StatusOptions& options) {
  StatusReport report;
  Exchange exchange(link, device, options);

  for (const StatusRequest request : kStatusRequests) {
    const auto answer = exchange.TimeLeft()
                            ? exchange.Ask(StatusRequestBytes(request), AnswerKind::StatusByte)
                            : std::nullopt;
    if (!answer) {
      if (request == StatusRequest::Printer && exchange.HungUp()) throw failures::HungUp(device);
      if (request == StatusRequest::Printer && exchange.noisyBeforeFirst())
        throw failures::UnaskedData(device);
      if (request == StatusRequest::Printer) throw link.Unanswered(device, options.perRequest);
      report.unanswered.push_back("DLE EOT " + std::to_string(static_cast<int>(request)));
      break;
    }
    Slot(report.status, request) = static_cast<std::uint8_t>((*answer)[0]);
  }

  const auto facts = DecodeStatus(report.status);
  const bool online = std::find(facts.begin(), facts.end(), StatusFact::Online) != facts.end();
  report.identitySkippedOffline = options.identity && !online;
  if (options.identity && online) {
    bool textAnswered = true, byteAnswered = true;
    for (const IdentityRequest request : kIdentityRequests) {
      if (exchange.HungUp()) break;  // nothing more was asked
      const bool text = AnswersText(request);
      bool& kindAnswered = text ? textAnswered : byteAnswered;
      if (!kindAnswered) continue;
      const auto answer = exchange.TimeLeft()
                              ? exchange.Ask(IdentityRequestBytes(request),
                                             text ? AnswerKind::IdentityText
                                                  : AnswerKind::IdentityByte)
                              : std::nullopt;
      if (!answer) {
        kindAnswered = false;
        report.unanswered.push_back("GS I " + std::to_string(static_cast<int>(request)));
        continue;
      }
      Store(report.identity, request, *answer);
    }
  }
  exchange.Finish();
  report.unaskedCount = exchange.unaskedCount();
  report.unasked = exchange.lastUnasked();
  report.hungUp = exchange.HungUp();
  return report;
}

StatusReport QueryPrinterStatus(std::string_view device, const StatusOptions& options,
                                SystemCalls& sys) {
  const auto link = OpenStatusLink(device, options, sys);
  return AskPrinter(*link, device, options);
}

}  // namespace qrticket
