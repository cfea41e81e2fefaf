// The memory all of the network printer's jobs may hold together. Each job's paper asks before
// it grows; a job that would pass the cap waits for others to give theirs back, and is refused
// when no room comes within its wait.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

namespace qrticket::viewer {

class MemoryBudget {
 public:
  explicit MemoryBudget(std::uint64_t cap) : cap_(cap) {}
  MemoryBudget(const MemoryBudget&) = delete;
  MemoryBudget& operator=(const MemoryBudget&) = delete;

  enum class Outcome { Taken, TakenAfterWaiting, Refused };
  // Takes `bytes` for a job that already holds `held` of it, waiting up to `wait` (in slices,
  // ending early once `stopped` says so) for other jobs to give theirs back. More than the cap
  // with nothing else held is refused at once: no wait can make room for it.
  Outcome Take(std::uint64_t bytes, std::uint64_t held, std::chrono::milliseconds wait,
               const std::function<bool()>& stopped);
  void Give(std::uint64_t bytes);

  std::uint64_t cap() const { return cap_; }
  std::uint64_t used() const;

 private:
  const std::uint64_t cap_;
  mutable std::mutex mutex_;
  std::condition_variable given_;
  std::uint64_t used_ = 0;
};

}  // namespace qrticket::viewer
