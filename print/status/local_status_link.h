// Asking a printer on a local port: a serial tty (COM1:, /dev/ttyUSB0, a pseudo-terminal) or a
// USB printer (/dev/usb/lp0), opened for reading and writing.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "status/status_link.h"

namespace qrticket {

// Opens `path`, a character device, for reading and writing without waiting and without
// making it our controlling terminal, and claims it as a ticket job would (another job's port
// is "ocupado"). A tty gets raw input and output for the exchange (its speed, parity and flow
// control stay), with stale input dropped first; its settings come back when the link goes,
// and what is still queued for it is discarded so that closing cannot block. A device whose
// reading ends at once (such as /dev/null) or refuses reading has no way back. Waits end as
// interrupted once `cancelFd` (if 0 or more) is readable.
std::unique_ptr<StatusLink> OpenLocalStatusLink(const std::string& path, std::string_view device,
                                                SystemCalls& sys, int cancelFd = -1);

}  // namespace qrticket
