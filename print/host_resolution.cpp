// Bounded host name lookup with getaddrinfo.
#include "host_resolution.h"

#include <netdb.h>

#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "failure_messages.h"

namespace qrticket {
namespace {

std::vector<SocketAddress> Copy(const addrinfo* list) {
  std::vector<SocketAddress> addresses;
  for (const addrinfo* a = list; a != nullptr; a = a->ai_next) {
    if (a->ai_addrlen > sizeof(sockaddr_storage)) continue;
    SocketAddress address;
    address.family = a->ai_family;
    address.length = a->ai_addrlen;
    std::memcpy(&address.storage, a->ai_addr, a->ai_addrlen);
    addresses.push_back(address);
  }
  return addresses;
}

// getaddrinfo's answer, or its error code.
struct Lookup {
  int status = 0;
  std::vector<SocketAddress> addresses;
};

Lookup RunGetaddrinfo(const std::string& host, const std::string& service, int flags,
                      int family = AF_UNSPEC) {
  addrinfo hints{};
  hints.ai_family = family;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  // No AI_ADDRCONFIG: on a box with only loopback it would hide "localhost".
  hints.ai_flags = flags | AI_NUMERICSERV;
  addrinfo* list = nullptr;
  Lookup lookup;
  lookup.status = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &list);
  if (lookup.status == 0) {
    lookup.addresses = Copy(list);
    ::freeaddrinfo(list);
  }
  return lookup;
}

// The shared state between the job and the helper thread, which may outlive the job.
struct PendingLookup {
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  Lookup result;
};

}  // namespace

std::vector<SocketAddress> ResolveHost(const std::string& host, std::uint16_t port,
                                       bool mustBeLiteral, std::string_view device,
                                       std::chrono::steady_clock::time_point deadline,
                                       std::chrono::milliseconds bound) {
  const std::string service = std::to_string(port);
  // Brackets are for IPv6 addresses only, as in URLs.
  Lookup literal =
      RunGetaddrinfo(host, service, AI_NUMERICHOST, mustBeLiteral ? AF_INET6 : AF_UNSPEC);
  if (literal.status == 0 && !literal.addresses.empty()) return literal.addresses;
  if (mustBeLiteral) throw failures::BadFileName(device);

  auto pending = std::make_shared<PendingLookup>();
  try {
    std::thread([pending, host, service] {
      Lookup result = RunGetaddrinfo(host, service, 0);
      const std::lock_guard lock(pending->mutex);
      pending->result = std::move(result);
      pending->finished = true;
      pending->done.notify_all();
    }).detach();
  } catch (const std::system_error&) {
    // No thread to spare: look the name up here, unbounded, rather than not at all.
    Lookup result = RunGetaddrinfo(host, service, 0);
    pending->result = std::move(result);
    pending->finished = true;
  }

  std::unique_lock lock(pending->mutex);
  if (!pending->done.wait_until(lock, deadline, [&] { return pending->finished; }))
    throw failures::ConnectTimedOut(device, bound);
  const Lookup& result = pending->result;
  if (result.status == EAI_MEMORY) throw failures::OutOfMemory();
  if (result.status != 0 || result.addresses.empty()) throw failures::UnknownHost(device);
  return result.addresses;
}

}  // namespace qrticket
