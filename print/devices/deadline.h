// The time left to a deadline, as the whole milliseconds that poll() and the Windows waits take.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace qrticket {

// Milliseconds until `deadline`, rounded up so that a wait never ends before it; 0 once it has
// passed, and at most INT32_MAX, which both poll()'s int and a Windows wait's DWORD hold (a
// DWORD of all ones would mean INFINITE).
inline int MillisecondsLeft(std::chrono::steady_clock::time_point deadline) {
  const auto left =
      std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(std::min<long long>(left.count(), INT32_MAX)) : 0;
}

}  // namespace qrticket
