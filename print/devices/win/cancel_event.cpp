// Waits that a cancel event cuts short.
#include "devices/win/cancel_event.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

#include "devices/deadline.h"
#include "devices/device_failures.h"

namespace qrticket {
namespace {

// How long a socket wait goes on before it looks at the cancel event again.
constexpr DWORD kSocketSliceMs = 50;

}  // namespace

HANDLE CancelEvent(int cancelFd) {
  if (cancelFd < 0) return nullptr;
  return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(cancelFd));
}

int CancelNumber(HANDLE event) {
  if (event == nullptr || event == INVALID_HANDLE_VALUE) return -1;
  return static_cast<int>(reinterpret_cast<std::intptr_t>(event));
}

bool IsCancelled(int cancelFd) {
  const HANDLE event = CancelEvent(cancelFd);
  return event != nullptr && ::WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}

void ThrowIfCancelled(int cancelFd) {
  if (IsCancelled(cancelFd)) throw failures::Interrupted();
}

Waited WaitOrCancel(SystemCalls& sys, HANDLE object, DWORD milliseconds, int cancelFd) {
  const HANDLE cancel = CancelEvent(cancelFd);
  if (cancel == nullptr)
    return sys.WaitForSingleObject(object, milliseconds) == WAIT_OBJECT_0 ? Waited::Ready
                                                                          : Waited::TimedOut;
  const HANDLE both[2] = {object, cancel};
  switch (sys.WaitForMultipleObjects(2, both, FALSE, milliseconds)) {
    case WAIT_OBJECT_0:
      return Waited::Ready;
    case WAIT_OBJECT_0 + 1:
      return Waited::Cancelled;
    default:
      return IsCancelled(cancelFd) ? Waited::Cancelled : Waited::TimedOut;
  }
}

int SelectOrCancel(SystemCalls& sys, SOCKET s, bool write, DWORD milliseconds, int cancelFd) {
  if (CancelEvent(cancelFd) == nullptr) return sys.Select(s, write, milliseconds);
  using Clock = std::chrono::steady_clock;
  const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    ThrowIfCancelled(cancelFd);
    const DWORD left = MillisecondsLeft(end);
    const int ready = sys.Select(s, write, std::min(left, kSocketSliceMs));
    if (ready != 0 || left <= kSocketSliceMs) {
      ThrowIfCancelled(cancelFd);
      return ready;
    }
  }
}

void SleepOrCancel(DWORD milliseconds, int cancelFd) {
  const HANDLE cancel = CancelEvent(cancelFd);
  if (cancel == nullptr) {
    ::Sleep(milliseconds);
    return;
  }
  if (::WaitForSingleObject(cancel, milliseconds) == WAIT_OBJECT_0) throw failures::Interrupted();
}

}  // namespace qrticket
