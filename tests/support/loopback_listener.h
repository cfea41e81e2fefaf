// Sockets on 127.0.0.1: listening for the tests' fake printers and schedulers, and connecting
// to the servers under test.
#pragma once

#include <cstdint>

namespace qrticket::testing {

// A TCP socket listening on 127.0.0.1 at a free port, which goes into `port`, with room for
// `backlog` waiting connections; -1 (and `port` untouched) when none could be made.
int ListenOnLoopback(int backlog, std::uint16_t& port);

// A TCP socket connected to 127.0.0.1:`port`, or -1.
int ConnectToLoopback(int port);

}  // namespace qrticket::testing
