// Runs the status query for the window and words its answer (see status_message.h).
#include "status_message.h"

#include "form_text.h"
#include "devices/device_name.h"
#include "form_texts.h"
#include "status/status_query.h"
#include "status/status_texts.h"

namespace qrticket::ui {

std::string StatusMessage(std::string_view device) {
  if (IsPreviewDeviceName(device)) return std::string(texts::PreviewHasNoStatus());
  std::string message = texts::StatusHeading(device);
  try {
    for (const std::string& line : StatusLines(QueryPrinterStatus(device)))
      message += '\n' + line;
  } catch (const PrintFailure& failure) {
    message += '\n' + failure.description();
    // A serial line that stays silent may be at another speed than the printer's.
    if (failure.code() == FailureCode::NoAnswer && IsSerialDevice(ResolveDeviceName(device)))
      message += '\n' + std::string(texts::SerialLineMayBeAtAnotherSpeed());
  }
  return message;
}

}  // namespace qrticket::ui
