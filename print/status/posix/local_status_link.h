// Asking a printer on a local port: a serial tty (COM1:, /dev/ttyUSB0, a pseudo-terminal) or a
// USB printer (/dev/usb/lp0), opened for reading and writing.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "devices/posix/serial_line.h"
#include "devices/serial_settings.h"
#include "status/posix/fd_status_link.h"

namespace qrticket {

class LocalStatusLink final : public FdStatusLink {
 public:
  LocalStatusLink(SystemCalls& sys, int fd, std::string device, int cancelFd);
  ~LocalStatusLink() override;

  // A tty carries XON and XOFF as flow control.
  bool CarriesFlowControl() const override { return savedTty_.has_value() || serial_ != nullptr; }

  // Sets the operator's serial settings for the exchange, raw both ways, and drops what came
  // in before (see SerialLine::Apply for the failures). Called again, it changes them: the
  // speed search tries one after another. The port's own settings come back when the link goes.
  bool SetSerial(const SerialSettings& settings) override;

  // For OpenLocalStatusLink: the device claimed as a job claims it, and a tty made raw both
  // ways at its own settings.
  void Claim();
  void MakeTtyRaw();

 private:
  void AtEndOfInput() override;
  void BeforeClose() override;

  std::optional<termios> savedTty_;
  std::unique_ptr<SerialLine> serial_;
};

// Opens `path`, a character device, for reading and writing without waiting and without
// making it our controlling terminal, and claims it as a ticket job would (another job's port
// is "ocupado"). A tty gets raw input and output for the exchange (its speed, parity and flow
// control stay, unless `serial` gives settings: then those, and a device that is no tty fails),
// with stale input dropped first; its settings come back when the link goes, and what is still
// queued for it is discarded so that closing cannot block. A device whose reading ends at once
// (such as /dev/null) or refuses reading has no way back. Waits end as interrupted once
// `cancelFd` (if 0 or more) is readable.
std::unique_ptr<LocalStatusLink> OpenLocalStatusLink(
    const std::string& path, std::string_view device, SystemCalls& sys, int cancelFd = -1,
    const std::optional<SerialSettings>& serial = std::nullopt);

}  // namespace qrticket
