// The QR test ticket job: from the operator's settings to bytes on the device, or in memory.
#pragma once

#include <optional>
#include <string>

#include "devices/bytes.h"
#include "devices/failure.h"
#include "devices/output_device.h"
#include "devices/system_calls.h"
#include "ticket/qr_print_settings.h"

namespace qrticket {

// The words every failure message starts with, directly followed by the description.
inline constexpr const char* kFailurePrefix = "Falha na impressão:";

// How a front end shows a failed job to the operator (a modal box, a line on stderr).
class FailureReporter {
 public:
  virtual ~FailureReporter() = default;
  // `message` is kFailurePrefix immediately followed by the description, in UTF-8.
  virtual void ShowFailure(const std::string& message) = 0;
};

// How a job ended, for a caller that tells more than the reporter shows (the command line's
// exit code). The window needs none of it.
struct JobResult {
  enum class Status {
    Delivered,                // the device took the whole ticket
    DeliveredWithoutSymbol,   // delivered, but the QR builder failed: its description was
                              // printed in place of the QR commands
    Failed,                   // reported through the FailureReporter
  };
  Status status = Status::Delivered;
  // What replaced the QR commands (UTF-8), with DeliveredWithoutSymbol.
  std::optional<std::string> qrBlockFailure;
  // The failure that was reported, with Failed.
  std::optional<FailureCode> failure;
};

// Writes one QR test ticket to settings.deviceName. Never throws: a failure stops the job,
// releases the device and is shown once through `reporter`. A failure inside the QR command
// builder is not a job failure: its description is printed in place of the QR block.
JobResult PrintQrTest(const QrPrintSettings& settings, FailureReporter& reporter,
                      const ChannelOptions& options = {}, SystemCalls& sys = SystemCalls::Real());

// The same ticket laid out in memory, for a preview: the bytes PrintQrTest would hand to the
// device, after the same checks. settings.deviceName is not used. A failure is shown once
// through `reporter` as the job shows it, and leaves `bytes` empty.
struct LaidOutTicket {
  JobResult result;
  Bytes bytes;
};
LaidOutTicket QrTestBytes(const QrPrintSettings& settings, FailureReporter& reporter);

}  // namespace qrticket
