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

// One request and a status byte back by `deadline`. Bytes before it that cannot be one (junk
// at a wrong speed, automatic status) are dropped by the reader.
bool Answers(StatusLink& link, StatusRequest request, Clock::time_point deadline) {
  AnswerReader reader(link.CarriesFlowControl());
  if (!link.Send(StatusRequestBytes(request), deadline)) return false;
  for (;;) {
    if (reader.Take(AnswerKind::StatusByte)) return true;
    Bytes incoming;
    if (!link.Receive(incoming, deadline)) return reader.Take(AnswerKind::StatusByte).has_value();
    reader.Feed(incoming);
  }
}

// DLE EOT 1 twice, then 2 to 4, each answered. A wrong speed may turn junk into one byte that
// looks like a status byte; five in a row it does not.
bool PrinterAnswers(StatusLink& link, std::chrono::milliseconds perTry, Clock::time_point end) {
  constexpr StatusRequest kRequests[] = {StatusRequest::Printer, StatusRequest::Printer,
                                         StatusRequest::OfflineCause, StatusRequest::ErrorCause,
                                         StatusRequest::PaperSensor};
  for (const StatusRequest request : kRequests) {
    const auto deadline = std::min(Clock::now() + perTry, end);
    if (!Answers(link, request, deadline)) return false;
  }
  return true;
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

std::optional<SerialSettings> FindSerialSettings(
    std::string_view device, const SpeedSearchOptions& options,
    const std::function<void(const SerialSettings&)>& onTry, SystemCalls& sys) {
  const DeviceTarget target = ResolveDeviceName(device);
  if (target.serial) throw failures::SpeedSearchWithSettings(device);
  if (!IsSerialDevice(target)) throw failures::NotASerialLine(device);

  StatusOptions open;
  open.cancelFd = options.cancelFd;
  const auto link = OpenStatusLink(device, open, sys);
  const auto end = Clock::now() + options.whole;
  std::optional<PrintFailure> refused;  // why the last candidate could not be set
  bool anySet = false;
  for (const SerialSettings& candidate : SpeedCandidates()) {
    if (Clock::now() >= end) break;
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
    if (PrinterAnswers(*link, options.perTry, end)) return candidate;
  }
  if (!anySet && refused) throw *refused;
  return std::nullopt;
}

}  // namespace qrticket
