// qrticket --list-devices: the output devices this machine has, one a line.
#pragma once

#include <ostream>
#include <vector>

#include "discovery/device_discovery.h"

namespace qrticket::cli {

// Writes each device as its name, a tab and its description (with what to do when the user
// may not write to it). Tabs and line breaks inside are written as spaces, so a line is always
// one device. An empty list is said on `err`, so that `out` still holds only devices. Returns
// the exit code: 0, also for an empty list.
int WriteDeviceList(const std::vector<DiscoveredDevice>& devices, std::ostream& out,
                    std::ostream& err);

// Discovers the devices (ports, USB printers, CUPS queues) and writes them. Asking the CUPS
// scheduler ends once `cancelFd` (when 0 or more) is readable; then nothing is written and the
// exit code is kExitSignalBase + the signal `caughtSignal` names.
int ListDevices(std::ostream& out, std::ostream& err, int cancelFd = -1,
                int (*caughtSignal)() = nullptr);

}  // namespace qrticket::cli
