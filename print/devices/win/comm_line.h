// A Windows serial port set to the serial settings the operator gave, for one job, and put
// back as it was: the DCB of SetCommState, read back with GetCommState.
#pragma once

#include <optional>
#include <string>

#include "devices/serial_settings.h"
#include "devices/system_calls.h"

namespace qrticket {

// The DCB for `settings` on top of the port's own `own`: speed, parity (checked on input only
// when there is one), data and stop bits (1.5 as ONE5STOPBITS), flow control (XON/XOFF both
// ways; RTS/CTS with RTS as handshake; DTR/DSR with output held while DSR is down and DTR as
// handshake; `p` both), binary mode, no DSR sensitivity and no abort on error. What MODE and
// BuildCommDCB make of "baud=... parity=... data=... stop=... xon/octs/odsr/rts/dtr".
DCB DcbFor(const DCB& own, const SerialSettings& settings);

// The settings a port's `dcb` stands for, in the operator's form: speed, parity, data and stop
// bits, and its output flow control (CTS and DSR both watched is `p`).
SerialSettings SettingsOf(const DCB& dcb);

// The settings the port at `path` ("\\.\COM3") is at now, read through a handle that neither
// reads nor writes; nullopt when it cannot be opened (missing, or held by another program, as
// a COM port is while open) or has no DCB.
std::optional<SerialSettings> CurrentCommSettings(const std::string& path);

class CommLine final {
 public:
  // Takes the port's own DCB. Throws PrintFailure: NotASerialLine when the handle has none.
  CommLine(SystemCalls& sys, HANDLE handle, std::string device);
  ~CommLine();  // puts the port's own settings back, at once, if Restore has not
  CommLine(const CommLine&) = delete;
  CommLine& operator=(const CommLine&) = delete;

  // Sets `settings` and reads back the speed the driver took: more than 2 % away fails
  // (SpeedNotTaken) with the port's own settings put back first; so does a refusal.
  void Apply(const SerialSettings& settings);
  // Puts the port's own DCB back; with `discardQueued`, what is still queued is dropped first.
  void Restore(bool discardQueued) noexcept;

  const SerialSettings& settings() const { return settings_; }

 private:
  SystemCalls& sys_;
  HANDLE handle_;
  std::string device_;
  DCB own_{};
  SerialSettings settings_;
  bool applied_ = false;
};

}  // namespace qrticket
