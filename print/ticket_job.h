// The QR test ticket job: from the operator's settings to bytes on the device.
#pragma once

#include <string>

#include "output_device.h"
#include "qr_print_settings.h"
#include "system_calls.h"

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

// Writes one QR test ticket to settings.deviceName. Never throws: a failure stops the job,
// releases the device and is shown once through `reporter`. A failure inside the QR command
// builder is not a job failure: its description is printed in place of the QR block.
void PrintQrTest(const QrPrintSettings& settings, FailureReporter& reporter,
                 const ChannelOptions& options = {}, SystemCalls& sys = SystemCalls::Real());

}  // namespace qrticket
