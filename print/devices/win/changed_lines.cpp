// Fixed slots, nothing that allocates or locks: the console's handler may run while the job's
// thread remembers or forgets a port.
#include "devices/win/changed_lines.h"

#include <atomic>

namespace qrticket {
namespace {

struct Slot {
  std::atomic<HANDLE> port{nullptr};  // null: free; set last, once `own` is complete
  DCB own{};
};

Slot slots[kMaxChangedLines];

}  // namespace

void RememberChangedLine(HANDLE port, const DCB& own) noexcept {
  for (Slot& slot : slots) {
    if (slot.port.load() == port) return;  // already remembered: the first DCB is the own
  }
  for (Slot& slot : slots) {
    if (slot.port.load() != nullptr) continue;
    slot.own = own;
    slot.port.store(port);
    return;
  }
}

void ForgetChangedLine(HANDLE port) noexcept {
  for (Slot& slot : slots) {
    HANDLE expected = port;
    slot.port.compare_exchange_strong(expected, nullptr);
  }
}

int RestoreChangedLines() noexcept {
  int restored = 0;
  for (Slot& slot : slots) {
    HANDLE port = slot.port.load();
    DCB own = slot.own;
    if (port != nullptr && ::SetCommState(port, &own)) ++restored;
  }
  return restored;
}

}  // namespace qrticket
