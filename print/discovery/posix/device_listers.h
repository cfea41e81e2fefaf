// One lister per transport, each beside its writer; DiscoverDevices merges them. The local
// listers read /dev and /sys under `root` (the real "/" or a test's fake tree) and name
// devices by their real paths.
#pragma once

#include <chrono>
#include <filesystem>
#include <vector>

#include "discovery/device_discovery.h"

namespace qrticket {

// USB printers, /dev/usb/lp*, described by the IEEE 1284 device ID the printer reports.
std::vector<DiscoveredDevice> ListUsbPrinters(const std::filesystem::path& root);

// Serial ports that exist: USB adapters and printers (/dev/ttyUSB*, /dev/ttyACM*, under their
// stable /dev/serial/by-id/ name where there is one), Bluetooth serial links (/dev/rfcomm*),
// and the machine's own ports (/dev/ttyS*, as "COMn:") where a UART answers behind them.
std::vector<DiscoveredDevice> ListSerialPorts(const std::filesystem::path& root);

// Parallel ports, /dev/lp* ("LPT1:" to "LPT3:" for the first three).
std::vector<DiscoveredDevice> ListParallelPorts(const std::filesystem::path& root);

// The queues of the CUPS scheduler that libcups is set up for (CUPS_SERVER, client.conf or
// the local one), as "cups:QUEUE". Empty when no scheduler answers; connecting and both
// requests together take at most `bound` whatever the scheduler sends, and end at once when
// `cancelFd` (when 0 or more) is readable.
std::vector<DiscoveredDevice> ListCupsQueues(std::chrono::milliseconds bound, int cancelFd = -1);

}  // namespace qrticket
