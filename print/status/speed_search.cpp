// The speed search: one short exchange per candidate, on one opening of the line.
#include "status/speed_search.h"

#include <algorithm>

#include "devices/device_failures.h"
#include "devices/device_name.h"
#include "status/status_answer_reader.h"
#include "status/status_failures.h"
#include "status/status_link.h"
#include "status/status_query.h"

namespace qrticket {
namespace {

using Clock = StatusLink::Clock;
using Parity = SerialSettings::Parity;

constexpr std::uint32_t kCommonSpeeds[] = {9600, 19200, 38400, 115200, 57600, 4800, 2400};

// Listens until `until`: only automatic status and flow control may come. False as soon as
// anything else does (noise, junk at a wrong speed, another program's data on the line).
bool NothingUnasked(StatusLink& link, AnswerReader& reader, Clock::time_point until) {
  while (Clock::now() < until) {
    Bytes incoming;
    if (!link.Receive(incoming, until)) break;
    reader.Feed(incoming);
    reader.SetAside();
    if (reader.strayCount() > 0) return false;
  }
  reader.SetAside();  // what was left after the last answer
  return reader.strayCount() == 0;
}

// One request, and a status byte back by `deadline` with nothing but automatic status and flow
// control before it.
bool AnsweredInReply(StatusLink& link, AnswerReader& reader, StatusRequest request,
                     Clock::time_point deadline) {
  if (!link.Send(StatusRequestBytes(request), deadline)) return false;
  for (;;) {
    const auto answer = reader.Take(AnswerKind::StatusByte);
    if (reader.strayCount() > 0) return false;
    if (answer) return true;
    Bytes incoming;
    if (!link.Receive(incoming, deadline)) return false;
    reader.Feed(incoming);
  }
}

// DLE EOT 1 twice, then 2 to 4, each answered in reply: a quiet line before each request and
// after the last answer, and one status byte after each request. Noise holds a byte that looks
// like a status byte now and then; one after each of five requests, and nothing else between
// them, it does not.
bool PrinterAnswers(StatusLink& link, std::chrono::milliseconds perTry, Clock::time_point end) {
  constexpr StatusRequest kRequests[] = {StatusRequest::Printer, StatusRequest::Printer,
                                         StatusRequest::OfflineCause, StatusRequest::ErrorCause,
                                         StatusRequest::PaperSensor};
  AnswerReader reader(link.CarriesFlowControl());
  for (const StatusRequest request : kRequests) {
    if (!NothingUnasked(link, reader, std::min(Clock::now() + kQuietTime, end))) return false;
    const auto deadline = std::min(Clock::now() + perTry, end);
    if (!AnsweredInReply(link, reader, request, deadline)) return false;
  }
  return NothingUnasked(link, reader, std::min(Clock::now() + kQuietTime, end)) &&
         Clock::now() < end;
}

}  // namespace

std::vector<SerialSettings> SpeedCandidates() {
  std::vector<SerialSettings> candidates;
  for (const Parity parity : {Parity::None, Parity::Even})
    for (const std::uint32_t speed : kCommonSpeeds)
      candidates.push_back({.speed = speed, .parity = parity,
                            .dataBits = parity == Parity::None ? 8 : 7});
  return candidates;
}

SpeedSearchResult FindSerialSettings(std::string_view device, const SpeedSearchOptions& options,
                                     const std::function<void(const SerialSettings&)>& onTry,
                                     SystemCalls& sys) {
  const DeviceTarget target = ResolveDeviceName(device);
  if (target.serial) throw failures::SpeedSearchWithSettings(device);
  if (!IsSerialDevice(target)) throw failures::NotASerialLine(device);

  StatusOptions open;
  open.cancelFd = options.cancelFd;
  const auto link = OpenStatusLink(device, open, sys);
  const auto end = Clock::now() + options.whole;
  std::optional<PrintFailure> refused;  // why the last candidate could not be set
  bool anySet = false;
  SpeedSearchResult result;
  for (const SerialSettings& candidate : SpeedCandidates()) {
    if (Clock::now() >= end) {
      result.cutAt = candidate;
      break;
    }
    if (onTry) onTry(candidate);
    bool set = false;
    try {
      set = link->SetSerial(candidate);
    } catch (const PrintFailure& failure) {
      if (failure.code() == FailureCode::Interrupted) throw;
      refused = failure;  // a speed or framing this port does not do
      continue;
    }
    if (!set) throw failures::NotASerialLine(device);
    anySet = true;
    if (PrinterAnswers(*link, options.perTry, end)) {
      result.found = candidate;
      return result;
    }
    if (Clock::now() >= end) {  // this try may have been cut short
      result.cutAt = candidate;
      break;
    }
  }
  if (!anySet && refused) throw *refused;
  return result;
}

}  // namespace qrticket
