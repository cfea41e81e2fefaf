// Asking a USB printer ("usb:NAME") on Windows: requests written overlapped to its device
// path, answers read with overlapped ReadFile on the same handle. Many printers send nothing
// back this way, and some drivers do not read at all: both are "sem resposta por USB".
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "devices/win/system_calls.h"
#include "status/status_link.h"

namespace qrticket {

// Opens the USB printer `printer` (the name after "usb:", or its port "USB001"; any case) for
// reading and writing, for the exchange only. Every wait is bounded by the caller's deadline
// and ended by the cancel event. Throws PrintFailure: not plugged in, or the device's own open
// failures; `device` is the name as typed.
std::unique_ptr<StatusLink> OpenUsbStatusLink(const std::string& printer, std::string_view device,
                                              const StatusOptions& options, SystemCalls& sys);

}  // namespace qrticket
