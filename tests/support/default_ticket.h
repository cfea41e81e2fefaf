// The window's sample ticket aimed at a device, for tests that print the default ticket.
#pragma once

#include <string>

#include "ticket/qr_print_settings.h"
#include "ticket/ticket_defaults.h"

namespace qrticket::testing {

// The sample data at the default module size, to `device`; the rest as the settings start.
inline QrPrintSettings DefaultTicketTo(const std::string& device) {
  QrPrintSettings settings;
  settings.dataText = kSampleDataText;
  settings.deviceName = device;
  settings.moduleSizeText = kDefaultModuleSizeText;
  return settings;
}

}  // namespace qrticket::testing
