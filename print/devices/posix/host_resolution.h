// Turning a network printer's host into addresses, within the connect time-out.
#pragma once

#include <sys/socket.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "devices/system_calls.h"

namespace qrticket {

struct SocketAddress {
  int family = AF_UNSPEC;
  sockaddr_storage storage{};
  socklen_t length = 0;
  const sockaddr* get() const { return reinterpret_cast<const sockaddr*>(&storage); }
};

// The addresses of `host` (a name, an IPv4 or an IPv6 address) with `port`, in the resolver's
// order. A literal address needs no lookup; an IPv4 address is taken only as four dotted
// decimal numbers, and the shorter or hexadecimal forms the C library also reads ("10.1",
// "0x7f.1", "2130706433") are refused rather than sent somewhere the operator did not write.
// A name is looked up on a helper thread, so that a resolver that does not answer cannot hold
// the job past `deadline`, and the wait ends early when `cancelFd` (if 0 or more) is readable.
// Throws PrintFailure naming `device`: unknown host (the resolver says the name does not
// exist), name lookup unavailable (no name server could be asked), connect time-out (no answer
// by `deadline`, which is `bound` after the start), bad file name (an address in a form we do
// not take, a bracketed address that is no IPv6 address), interrupted.
std::vector<SocketAddress> ResolveHost(const std::string& host, std::uint16_t port,
                                       bool mustBeLiteral, std::string_view device,
                                       std::chrono::steady_clock::time_point deadline,
                                       std::chrono::milliseconds bound, SystemCalls& sys,
                                       int cancelFd = -1);


}  // namespace qrticket
