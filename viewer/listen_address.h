// What the network printer's sockets do alike on every platform (posix/listen_socket.cpp,
// win/listen_socket.cpp): finding the addresses to listen at, and showing a bound or a peer's
// address.
#pragma once

#include <memory>
#include <string>

struct addrinfo;
struct sockaddr_storage;

namespace qrticket::viewer {

struct AddressListFree {
  void operator()(addrinfo* list) const;  // freeaddrinfo
};
using AddressList = std::unique_ptr<addrinfo, AddressListFree>;

// The addresses to bind a listening TCP socket to for `address` ("127.0.0.1", "::1",
// "0.0.0.0", a name) and `port` (0 for any free one). Throws ListenError when there are none.
AddressList ListenAddresses(const std::string& address, int port);

// The port of an IPv4 or IPv6 socket address.
int PortOf(const sockaddr_storage& address);

// "host:port", with the host in brackets when it is IPv6: what tcp:// takes. `length` is the
// address's length as the system gave it.
std::string Endpoint(const sockaddr_storage& address, int length);

}  // namespace qrticket::viewer
