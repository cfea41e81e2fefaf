// Running qrticket --status and --check-status.
#pragma once

#include <iosfwd>
#include <string>

#include "status/checked_ticket_job.h"
#include "status/speed_search.h"
#include "status/status_link.h"

namespace qrticket::cli {

// Asks `device` and writes one line per fact to `out`; a device that cannot be asked goes to
// `err` as one line. Returns the exit code: 0 ready, 1 a problem, no answer or no way back,
// kExitSignalBase + the signal `caughtSignal` names when a signal stopped the asking.
int RunStatus(const std::string& device, std::ostream& out, std::ostream& err,
              const StatusOptions& options = {}, int (*caughtSignal)() = nullptr);

// Finds the settings the serial printer on `device` answers at: a warning and each try go to
// `err`, the device's name with the settings found to `out` ("COM3:19200,n,8,1"). Returns 0
// found, 1 nothing answered (said on `err`) or the device could not be asked, kExitSignalBase
// + the signal when one stopped the search.
int RunFindSpeed(const std::string& device, std::ostream& out, std::ostream& err,
                 const SpeedSearchOptions& options = {}, int (*caughtSignal)() = nullptr);

// The ticket with the printer asked before and after; failures go to `reporter`, warnings to
// `err`. Returns the exit code: 0 printed and ready, 3 printed without its symbol (see
// ExitCodeFor), 1 failed, kExitSignalBase + the signal for a job stopped from outside.
int RunCheckedTicket(const QrPrintSettings& settings, const ChannelOptions& channel,
                     FailureReporter& reporter, std::ostream& err,
                     int (*caughtSignal)() = nullptr);

}  // namespace qrticket::cli
