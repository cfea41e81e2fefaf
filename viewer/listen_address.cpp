// The network printer's address handling, the same on every platform (see listen_address.h).
#include "listen_address.h"

// getaddrinfo, getnameinfo and the socket addresses have one form on both platforms; only the
// headers that declare them differ.
#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#endif

#include "listen_socket.h"
#include "render_report.h"

namespace qrticket::viewer {

void AddressListFree::operator()(addrinfo* list) const { ::freeaddrinfo(list); }

AddressList ListenAddresses(const std::string& address, int port) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  if (::getaddrinfo(address.c_str(), service.c_str(), &hints, &found) != 0 || !found) {
    throw ListenError(say::ListenBadAddress(address));
  }
  return AddressList(found);
}

int PortOf(const sockaddr_storage& address) {
  return ntohs(address.ss_family == AF_INET6
                   ? reinterpret_cast<const sockaddr_in6*>(&address)->sin6_port
                   : reinterpret_cast<const sockaddr_in*>(&address)->sin_port);
}

std::string Endpoint(const sockaddr_storage& address, int length) {
  char host[NI_MAXHOST] = "?", port[NI_MAXSERV] = "?";
  ::getnameinfo(reinterpret_cast<const sockaddr*>(&address), static_cast<socklen_t>(length),
                host, sizeof host, port, sizeof port, NI_NUMERICHOST | NI_NUMERICSERV);
  // Appended piece by piece: GCC 12 warns (-Wrestrict, wrongly) on "[" + std::string(...).
  const bool ipv6 = address.ss_family == AF_INET6;
  std::string endpoint;
  if (ipv6) endpoint += '[';
  endpoint += host;
  if (ipv6) endpoint += ']';
  endpoint += ':';
  endpoint += port;
  return endpoint;
}

}  // namespace qrticket::viewer
