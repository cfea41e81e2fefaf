#include "memory_budget.h"

namespace qrticket::viewer {

MemoryBudget::Outcome MemoryBudget::Take(std::uint64_t bytes, std::uint64_t held,
                                         std::chrono::milliseconds wait,
                                         const std::function<bool()>& stopped) {
  std::unique_lock lock(mutex_);
  const auto fits = [&] { return bytes <= cap_ && used_ <= cap_ - bytes; };
  if (fits()) {
    used_ += bytes;
    return Outcome::Taken;
  }
  // Only other jobs' memory can come back.
  if (bytes > cap_ || used_ - held + bytes > cap_) return Outcome::Refused;
  const auto deadline = std::chrono::steady_clock::now() + wait;
  while (!fits()) {
    if (std::chrono::steady_clock::now() >= deadline || (stopped && stopped()))
      return Outcome::Refused;
    given_.wait_until(lock, std::min(deadline, std::chrono::steady_clock::now() +
                                                   std::chrono::milliseconds(200)));
  }
  used_ += bytes;
  return Outcome::TakenAfterWaiting;
}

void MemoryBudget::Give(std::uint64_t bytes) {
  {
    const std::lock_guard lock(mutex_);
    used_ -= std::min(bytes, used_);
  }
  given_.notify_all();
}

std::uint64_t MemoryBudget::used() const {
  const std::lock_guard lock(mutex_);
  return used_;
}

}  // namespace qrticket::viewer
