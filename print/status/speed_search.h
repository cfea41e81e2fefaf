// Finding the settings a serial printer is set to (its DIP or memory switches), by asking it
// for its status at the common settings in turn.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "devices/serial_settings.h"
#include "devices/system_calls.h"

namespace qrticket {

struct SpeedSearchOptions {
  // How long one try waits for the first answer.
  std::chrono::milliseconds perTry{200};
  // Bound on the whole search once the line is open.
  std::chrono::milliseconds whole{8000};
  // When 0 or more, the search ends, as interrupted, once this descriptor is readable.
  int cancelFd = -1;
};

// The settings tried, most common first: 9600, 19200, 38400, 115200, 57600, 4800 and 2400 at
// 8N1, then the same speeds at 7E1. No flow control: answers come back whatever the printer's.
std::vector<SerialSettings> SpeedCandidates();

struct SpeedSearchResult {
  // The settings at which the printer answered; nullopt when none did.
  std::optional<SerialSettings> found;
  // The whole bound ran out before every candidate had been tried: the one the search was at.
  std::optional<SerialSettings> cutAt;
};

// Finds the settings at which the printer on `device` (a serial port or tty named without
// settings) answers. At each candidate the line is set and what came in is dropped; then DLE
// EOT 1 is asked twice, then 2, 3 and 4. A candidate counts only when the answers come in
// reply: before each request and after the last answer the line carries nothing for
// kQuietTime, and after each request comes one byte with a status byte's fixed bits (bits 1
// and 4 set, 0 and 7 clear). Automatic status blocks and XON/XOFF are let through; any other
// unasked byte (noise, another program's data) rules the candidate out. A candidate the port
// cannot be set to is skipped. The port's own settings come back at the end, whatever happens.
// `onTry` hears of each candidate before it is tried. Throws PrintFailure: the device's open
// failures, NotASerialLine, SpeedSearchWithSettings, and Interrupted once options.cancelFd is
// readable.
SpeedSearchResult FindSerialSettings(
    std::string_view device, const SpeedSearchOptions& options,
    const std::function<void(const SerialSettings&)>& onTry = {},
    SystemCalls& sys = SystemCalls::Real());

}  // namespace qrticket
