// Raw network printers: a TCP connection to HOST:PORT (port 9100 by default).
#pragma once

#include <memory>
#include <string_view>

#include "devices/device_name.h"
#include "devices/output_device.h"

namespace qrticket {

// Connects to `target` within options.connectTimeout (name lookup included). An unknown host,
// a refused connection and a connect time-out are three different failures; every address of
// the host is tried in turn, within the one connect time-out (an address that does not answer
// uses up what is left of it). `device` is the name as the operator typed it, for messages.
//
// Close() reports success only once the printer has acknowledged every byte: it half-closes
// the connection, waits while the unacknowledged count (SIOCOUTQ, which covers our FIN too)
// keeps shrinking, failing once it stays put for the stall time-out, and then gives the
// printer a short while to close its side (proof that it has read the last byte) before
// closing. A printer that keeps the connection open after acknowledging everything is not an
// error. A reset or a close by the printer before that is a lost connection. Nothing raises
// SIGPIPE (MSG_NOSIGNAL). A job that fails is closed with a reset, so a dead printer does not
// get the rest of a half-sent ticket later.
std::unique_ptr<OutputDevice> OpenTcpDevice(const DeviceTarget& target, std::string_view device,
                                            const ChannelOptions& options, SystemCalls& sys);

// The connection alone, as OpenTcpDevice makes it: a connected non-blocking socket that the
// caller owns. Throws PrintFailure as OpenTcpDevice does.
int ConnectTcpSocket(const DeviceTarget& target, std::string_view device,
                     const ChannelOptions& options, SystemCalls& sys);

// How long Close() waits for the printer's own close once it has acknowledged everything. Not
// tied to the stall time-out: by then nothing can stall, and the wait only decides how soon a
// printer that keeps the connection open is left with success, and how long a reset from one
// that did not read the ticket is still noticed.
inline constexpr std::chrono::milliseconds kPeerCloseWait{2000};

}  // namespace qrticket
