// A connected Winsock socket to a network printer, as the ticket's tcp:// transport makes it.
#pragma once

#include <string_view>

#include "devices/device_name.h"
#include "devices/output_device.h"

namespace qrticket {

// Connects to `target` within options.connectTimeout (name lookup included), every address in
// turn; the socket is non-blocking and the caller's. Throws PrintFailure: unknown host, refused
// connection, connect time-out, or the system's refusal.
SOCKET ConnectWinsockSocket(const DeviceTarget& target, std::string_view device,
                            const ChannelOptions& options, SystemCalls& sys);

}  // namespace qrticket
