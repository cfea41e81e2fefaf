// The receipts the bench page shows: the newest jobs of the network printer, at most a fixed
// number (the oldest goes first), each with the files it can be downloaded from, and a log of
// what changed that the page's event streams follow.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace qrticket::viewer::web {

struct Receipt {
  int id = 0;  // unique while the program runs, never reused
  std::chrono::system_clock::time_point time;
  std::string sender;  // "127.0.0.1:54321"
  std::uint64_t bytes = 0;
  std::vector<std::string> report;
  std::filesystem::path picture;
  std::filesystem::path raw;  // empty when the bytes were not kept
};
using ReceiptPointer = std::shared_ptr<const Receipt>;

struct StoreEvent {
  enum class Kind { Added, Cleared };
  std::uint64_t sequence = 0;
  Kind kind = Kind::Added;
  ReceiptPointer receipt;  // the one added
};

class ReceiptStore {
 public:
  static constexpr std::size_t kDefaultCapacity = 200;
  // With `ownsFiles`, the receipts' files are the store's own (a private folder): a receipt's
  // files are removed when it is dropped or cleared. Otherwise they are the operator's.
  explicit ReceiptStore(std::size_t capacity = kDefaultCapacity, bool ownsFiles = false);
  ReceiptStore(const ReceiptStore&) = delete;
  ReceiptStore& operator=(const ReceiptStore&) = delete;

  // Adds the newest receipt; past the capacity the oldest is dropped.
  void Add(Receipt receipt);
  void Clear();

  std::vector<ReceiptPointer> NewestFirst() const;
  ReceiptPointer Find(int id) const;

  struct Events {
    std::vector<StoreEvent> events;
    std::uint64_t last = 0;  // the sequence to ask after next time
    bool missed = false;     // some after `after` are no longer in the log
  };
  // The events after sequence `after`, waiting up to `wait` for one (less after WakeAll()).
  Events After(std::uint64_t after, std::chrono::milliseconds wait) const;
  std::uint64_t LastSequence() const;
  // Ends every wait of After() now, so that a stopping server's streams end.
  void WakeAll();

 private:
  void Record(StoreEvent::Kind kind, ReceiptPointer receipt);  // with mutex_ held
  void RemoveFiles(const Receipt& receipt) const;

  const std::size_t capacity_;
  const bool ownsFiles_;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::deque<ReceiptPointer> receipts_;  // oldest first
  std::deque<StoreEvent> log_;           // the latest events, oldest first
  std::uint64_t sequence_ = 0;
  std::uint64_t wakes_ = 0;
};

}  // namespace qrticket::viewer::web
