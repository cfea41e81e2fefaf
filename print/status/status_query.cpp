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
  Exchange(StatusLink& link, const StatusOptions& options)
      : link_(link), options_(options), end_(Clock::now() + options.whole) {}

  // Sends `request` and waits for an answer of `kind`; nullopt when none came in time.
  std::optional<Bytes> Ask(BytesView request, AnswerKind kind) {
    const auto deadline = std::min(Clock::now() + options_.perRequest, end_);
    if (!link_.Send(request, deadline)) return std::nullopt;
    for (;;) {
      if (auto answer = reader_.Take(kind)) return answer;
      Bytes incoming;
      if (!link_.Receive(incoming, deadline)) return reader_.Take(kind);
      reader_.Feed(incoming);
    }
  }

  bool TimeLeft() const { return Clock::now() < end_; }
  const std::vector<Bytes>& unasked() const { return reader_.unasked(); }

 private:
  StatusLink& link_;
  const StatusOptions& options_;
  const Clock::time_point end_;
  AnswerReader reader_;
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
  Exchange exchange(link, options);

  for (const StatusRequest request : kStatusRequests) {
    const auto answer = exchange.TimeLeft()
                            ? exchange.Ask(StatusRequestBytes(request), AnswerKind::StatusByte)
                            : std::nullopt;
    if (!answer) {
      if (request == StatusRequest::Printer) throw failures::NoAnswer(device, options.perRequest);
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
  report.unasked = exchange.unasked();
  return report;
}

StatusReport QueryPrinterStatus(std::string_view device, const StatusOptions& options,
                                SystemCalls& sys) {
  const auto link = OpenStatusLink(device, options, sys);
  return AskPrinter(*link, device, options);
}

}  // namespace qrticket
