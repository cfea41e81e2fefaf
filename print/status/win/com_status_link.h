// Asking a printer on a serial port (\\.\COMn) on Windows: requests written overlapped, answers
// read from the port's input queue once bytes are there, with read time-outs that return at
// once (SetCommTimeouts); every wait bounded by the caller's deadline and ended by the cancel
// event.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "devices/serial_settings.h"
#include "devices/win/system_calls.h"
#include "status/status_link.h"

namespace qrticket {

// Opens `path` (a "\\.\COMn" path) for reading and writing. The port keeps the speed, parity and
// flow control Windows has for it, unless `serial` gives settings (set through the DCB, see
// CommLine, and the port's own put back afterwards); its time-outs change for the exchange and
// are put back afterwards too. Throws PrintFailure as the ticket's open would (missing, busy,
// refused), and what CommLine::Apply throws; `device` is the name as typed.
std::unique_ptr<StatusLink> OpenComStatusLink(
    const std::string& path, std::string_view device, const StatusOptions& options,
    SystemCalls& sys, const std::optional<SerialSettings>& serial = std::nullopt);

}  // namespace qrticket
