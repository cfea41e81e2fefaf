// Bounded, cancellable host name lookup with getaddrinfo.
#include "devices/posix/host_resolution.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include "devices/deadline.h"
#include "devices/posix/cancellation.h"
#include "devices/device_failures.h"
#include "devices/ipv4_forms.h"

namespace qrticket {
namespace {

using Clock = std::chrono::steady_clock;

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

Lookup RunGetaddrinfo(SystemCalls& sys, const std::string& host, const std::string& service,
                      int flags, int family = AF_UNSPEC) {
  addrinfo hints{};
  hints.ai_family = family;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  // No AI_ADDRCONFIG: on a box with only loopback it would hide "localhost".
  hints.ai_flags = flags | AI_NUMERICSERV;
  addrinfo* list = nullptr;
  Lookup lookup;
  lookup.status = sys.GetAddrInfo(host.c_str(), service.c_str(), &hints, &list);
  if (lookup.status == 0) {
    try {
      lookup.addresses = Copy(list);
    } catch (const std::bad_alloc&) {
      lookup.status = EAI_MEMORY;
    }
    sys.FreeAddrInfo(list);
  }
  return lookup;
}

// The state shared by the job and the helper thread, which may outlive the job. The thread
// writes one byte to the pipe when it has finished, so the job can wait with poll, watching the
// cancel descriptor as well.
struct PendingLookup {
  int readEnd = -1;
  int writeEnd = -1;
  std::mutex mutex;
  bool finished = false;
  Lookup result;

  PendingLookup() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
      readEnd = fds[0];
      writeEnd = fds[1];
    }
  }
  ~PendingLookup() {
    if (readEnd >= 0) ::close(readEnd);
    if (writeEnd >= 0) ::close(writeEnd);
  }
  PendingLookup(const PendingLookup&) = delete;
  PendingLookup& operator=(const PendingLookup&) = delete;

  void Finish(Lookup lookup) {
    {
      const std::lock_guard lock(mutex);
      result = std::move(lookup);
      finished = true;
    }
    const char done = 1;
    ssize_t ignored = ::write(writeEnd, &done, 1);
    (void)ignored;
  }
  bool IsFinished() {
    const std::lock_guard lock(mutex);
    return finished;
  }
};

bool ReadDottedQuad(const std::string& host, in_addr& address) {
  // inet_pton takes exactly four decimal numbers of 0 to 255, without leading zeros.
  return ::inet_pton(AF_INET, host.c_str(), &address) == 1;
}

SocketAddress Ipv4(const in_addr& address, std::uint16_t port) {
  SocketAddress result;
  sockaddr_in v4{};
  v4.sin_family = AF_INET;
  v4.sin_port = htons(port);
  v4.sin_addr = address;
  result.family = AF_INET;
  result.length = sizeof v4;
  std::memcpy(&result.storage, &v4, sizeof v4);
  return result;
}

PrintFailure LookupFailure(int status, std::string_view device) {
  switch (status) {
    case EAI_MEMORY:
      return failures::OutOfMemory();
    case EAI_AGAIN:   // no name server answered (no network, or none configured)
    case EAI_FAIL:    // the name server failed
    case EAI_SYSTEM:  // the lookup itself could not be made
      return failures::NameLookupUnavailable(device);
    default:
      return failures::UnknownHost(device);
  }
}

}  // namespace

std::vector<SocketAddress> ResolveHost(const std::string& host, std::uint16_t port,
                                       bool mustBeLiteral, std::string_view device,
                                       Clock::time_point deadline,
                                       std::chrono::milliseconds bound, SystemCalls& sys,
                                       int cancelFd) {
  const std::string service = std::to_string(port);
  // Brackets are for IPv6 addresses only, as in URLs.
  if (mustBeLiteral || host.find(':') != std::string::npos) {
    Lookup literal = RunGetaddrinfo(sys, host, service, AI_NUMERICHOST, AF_INET6);
    if (literal.status == 0 && !literal.addresses.empty()) return literal.addresses;
    throw failures::BadFileName(device);
  }
  if (in_addr v4{}; ReadDottedQuad(host, v4)) return {Ipv4(v4, port)};
  // The resolver would read these as addresses the operator did not write.
  if (IsUnusualIpv4Form(host)) throw failures::BadFileName(device);

  auto pending = std::make_shared<PendingLookup>();
  bool onHelperThread = pending->readEnd >= 0;
  if (onHelperThread) {
    try {
      std::thread([pending, host, service, &sys] {
        Lookup result;
        try {
          result = RunGetaddrinfo(sys, host, service, 0);
        } catch (...) {
          result.status = EAI_MEMORY;
        }
        pending->Finish(std::move(result));
      }).detach();
    } catch (const std::system_error&) {
      onHelperThread = false;
    }
  }
  if (!onHelperThread) {
    // No thread or pipe to spare: look the name up here, unbounded, rather than not at all.
    pending->result = RunGetaddrinfo(sys, host, service, 0);
    pending->finished = true;
  }

  while (!pending->IsFinished()) {
    const int left = MillisecondsLeft(deadline);
    if (left == 0) throw failures::ConnectTimedOut(device, bound);
    pollfd p{pending->readEnd, POLLIN, 0};
    PollOrCancel(sys, &p, 1, cancelFd, left);
  }
  const Lookup& result = pending->result;
  if (result.status != 0) throw LookupFailure(result.status, device);
  if (result.addresses.empty()) throw failures::UnknownHost(device);
  return result.addresses;
}

}  // namespace qrticket
