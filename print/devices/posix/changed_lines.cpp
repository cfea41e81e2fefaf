// Fixed slots and nothing that allocates or locks: RestoreChangedLines runs in signal handlers.
#include "devices/posix/changed_lines.h"

#include <atomic>

namespace qrticket {
namespace {

struct Slot {
  std::atomic<int> fd{-1};  // -1: free; set last, once `own` is complete
  LineSettings own;
};

Slot slots[kMaxChangedLines];

static_assert(std::atomic<int>::is_always_lock_free);

}  // namespace

void RememberChangedLine(int fd, const LineSettings& own) noexcept {
  for (Slot& slot : slots) {
    if (slot.fd.load() == fd) return;  // already remembered: the first settings are the own
  }
  for (Slot& slot : slots) {
    if (slot.fd.load() != -1) continue;
    slot.own = own;
    slot.fd.store(fd);
    return;
  }
}

void ForgetChangedLine(int fd) noexcept {
  for (Slot& slot : slots) {
    int expected = fd;
    slot.fd.compare_exchange_strong(expected, -1);
  }
}

int RestoreChangedLines() noexcept {
  int restored = 0;
  for (Slot& slot : slots) {
    const int fd = slot.fd.load();
    if (fd >= 0 && SetLineSettings(fd, /*afterOutput=*/false, &slot.own) == 0) ++restored;
  }
  return restored;
}

}  // namespace qrticket
