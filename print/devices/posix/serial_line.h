// A tty set to the serial settings the operator gave, for one job, and put back as it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "devices/line_settings.h"
#include "devices/serial_settings.h"
#include "devices/system_calls.h"

namespace qrticket {

// What the job does with the line besides the settings: a ticket only writes (output
// post-processing off); a status exchange reads too (raw input, no echo, no signals).
enum class LineModes { RawOutput, RawBoth };

// The tty settings for `settings` on top of the port's own `own`: the speed both ways (its B
// code for a standard speed, which programs reading the line with tcgetattr understand, else
// BOTHER with the number), parity (mark and space through CMSPAR), data and stop bits (1.5 is
// CSTOPB with 5 data bits, as a UART makes it), flow control (IXON/IXOFF, CRTSCTS; DTR/DSR
// has no termios flag and is watched by the writer), the receiver on and the modem's carrier
// ignored (CREAD, CLOCAL), and `modes`. Everything else stays as the port had it.
LineSettings LineFor(const LineSettings& own, const SerialSettings& settings, LineModes modes);

// The serial settings a tty's `line` stands for: its output speed, parity, data and stop bits
// (CSTOPB with 5 data bits is 1.5), and RTS/CTS or XON/XOFF flow control (DTR/DSR has no flag).
SerialSettings SettingsOf(const LineSettings& line);

// The settings the tty at `path` is at now, read without changing anything (opened read-only,
// without waiting and without becoming our terminal); nullopt when it cannot be opened or is
// no tty.
std::optional<SerialSettings> CurrentSettings(const std::string& path);

class SerialLine final {
 public:
  // Takes the port's own settings from `fd`. Throws PrintFailure: NotASerialLine when `fd` is
  // no tty. `device` is the name as typed, for messages.
  SerialLine(SystemCalls& sys, int fd, std::string device);
  ~SerialLine();  // puts the port's own settings back, at once, if Restore has not
  SerialLine(const SerialLine&) = delete;
  SerialLine& operator=(const SerialLine&) = delete;

  // Sets `settings` now and reads back what the driver took. Throws PrintFailure, with the
  // port's own settings put back first: a speed the driver set more than 2 % away from the
  // one asked for (a UART tolerates about that much; more is junk on paper), 1.5 stop bits with
  // more than 5 data bits, DTR/DSR flow on a port whose DSR line cannot be read, or a refusal.
  // May be called again with other settings (the speed search).
  void Apply(const SerialSettings& settings, LineModes modes);

  // Puts the port's own settings back, at once; with `discardQueued`, what is still queued for
  // the line is dropped first (so that closing cannot wait for a stalled line). Runs once.
  void Restore(bool discardQueued) noexcept;

  const SerialSettings& settings() const { return settings_; }
  // A pseudo-terminal carries the settings but shows no output queue.
  bool pseudoTerminal() const { return pseudoTerminal_; }

 private:
  SystemCalls& sys_;
  int fd_;
  std::string device_;
  LineSettings own_;
  SerialSettings settings_;
  bool applied_ = false;
  bool pseudoTerminal_ = false;
};

}  // namespace qrticket
