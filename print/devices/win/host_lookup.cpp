// Bounded host name lookup with GetAddrInfoW.
#include "devices/win/host_lookup.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#include "devices/device_failures.h"
#include "devices/ipv4_forms.h"
#include "devices/win/cancel_event.h"
#include "devices/win/wide_text.h"

namespace qrticket {
namespace {

struct Lookup {
  int status = 0;
  std::vector<HostAddress> addresses;
};

Lookup RunGetAddrInfo(const std::wstring& host, const std::wstring& service, int flags,
                      int family = AF_UNSPEC) {
  ADDRINFOW hints{};
  hints.ai_family = family;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  hints.ai_flags = flags | AI_NUMERICSERV;
  ADDRINFOW* list = nullptr;
  Lookup lookup;
  lookup.status = ::GetAddrInfoW(host.c_str(), service.c_str(), &hints, &list);
  if (lookup.status != 0) return lookup;
  for (const ADDRINFOW* a = list; a != nullptr; a = a->ai_next) {
    if (a->ai_addrlen > sizeof(sockaddr_storage)) continue;
    HostAddress address;
    address.family = a->ai_family;
    address.length = static_cast<int>(a->ai_addrlen);
    std::memcpy(&address.storage, a->ai_addr, a->ai_addrlen);
    lookup.addresses.push_back(address);
  }
  ::FreeAddrInfoW(list);
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

bool WinsockReady() {
  static const bool ready = [] {
    WSADATA data;
    return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return ready;
}

std::vector<HostAddress> LookUpHost(const std::string& host, std::uint16_t port,
                                    bool mustBeLiteral, std::string_view device,
                                    std::chrono::steady_clock::time_point deadline,
                                    std::chrono::milliseconds bound, int cancelFd) {
  const std::optional<std::wstring> wideHost = WideFromUtf8(host);
  if (!wideHost) throw failures::BadFileName(device);
  const std::wstring service = std::to_wstring(port);
  // Winsock would read these as addresses the operator did not write ("127.1", a leading zero
  // as octal), as the C library on Linux would.
  if (!mustBeLiteral && IsUnusualIpv4Form(host)) throw failures::BadFileName(device);
  // Brackets are for IPv6 addresses only, as in URLs.
  Lookup literal =
      RunGetAddrInfo(*wideHost, service, AI_NUMERICHOST, mustBeLiteral ? AF_INET6 : AF_UNSPEC);
  if (literal.status == 0 && !literal.addresses.empty()) return literal.addresses;
  if (mustBeLiteral) throw failures::BadFileName(device);

  auto pending = std::make_shared<PendingLookup>();
  try {
    std::thread([pending, name = *wideHost, service] {
      Lookup result = RunGetAddrInfo(name, service, 0);
      const std::lock_guard lock(pending->mutex);
      pending->result = std::move(result);
      pending->finished = true;
      pending->done.notify_all();
    }).detach();
  } catch (const std::system_error&) {
    // No thread to spare: look the name up here, unbounded, rather than not at all.
    pending->result = RunGetAddrInfo(*wideHost, service, 0);
    pending->finished = true;
  }

  // Waited for in slices, so that the cancel event is seen while the resolver takes its time.
  std::unique_lock lock(pending->mutex);
  while (!pending->finished) {
    ThrowIfCancelled(cancelFd);
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) throw failures::ConnectTimedOut(device, bound);
    pending->done.wait_until(lock, std::min(deadline, now + std::chrono::milliseconds(50)),
                             [&] { return pending->finished; });
  }
  const Lookup& result = pending->result;
  if (result.status == WSA_NOT_ENOUGH_MEMORY || result.status == EAI_MEMORY)
    throw failures::OutOfMemory();
  if (result.status != 0 || result.addresses.empty()) throw failures::UnknownHost(device);
  return result.addresses;
}

}  // namespace qrticket
