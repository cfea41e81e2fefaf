// Turning a network printer's host into addresses with Winsock, within the connect time-out.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qrticket {

struct HostAddress {
  int family = AF_UNSPEC;
  sockaddr_storage storage{};
  int length = 0;
  const sockaddr* get() const { return reinterpret_cast<const sockaddr*>(&storage); }
};

// Starts Winsock for this process once; false when it cannot be started.
bool WinsockReady();

// The addresses of `host` (UTF-8: a name, an IPv4 or an IPv6 address) with `port`, in the
// resolver's order. A literal address needs no lookup; a name is looked up on a helper thread
// so that a resolver that does not answer cannot hold the job past `deadline`. Throws
// PrintFailure naming `device`: unknown host, connect time-out (no answer by `deadline`), bad
// file name (a bracketed address that is no IPv6 address, or an IPv4 address in an old form:
// see ipv4_forms.h), interrupted (the cancel event of
// `cancelFd`, see cancel_event.h).
std::vector<HostAddress> LookUpHost(const std::string& host, std::uint16_t port,
                                    bool mustBeLiteral, std::string_view device,
                                    std::chrono::steady_clock::time_point deadline,
                                    std::chrono::milliseconds bound, int cancelFd = -1);

}  // namespace qrticket
