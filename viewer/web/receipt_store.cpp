// The bench page's receipts, guarded by one mutex: jobs arrive from the listener's threads,
// the page's requests and event streams read from the web server's.
#include "receipt_store.h"

#include <algorithm>

namespace qrticket::viewer::web {
namespace {

// Events kept for the streams: one that falls further behind reloads the whole list.
constexpr std::size_t kLogLength = 64;

}  // namespace

ReceiptStore::ReceiptStore(std::size_t capacity, bool ownsFiles)
    : capacity_(std::max<std::size_t>(capacity, 1)), ownsFiles_(ownsFiles) {}

void ReceiptStore::Add(Receipt receipt) {
  auto added = std::make_shared<const Receipt>(std::move(receipt));
  ReceiptPointer dropped;
  {
    std::lock_guard lock(mutex_);
    receipts_.push_back(added);
    if (receipts_.size() > capacity_) {
      dropped = receipts_.front();
      receipts_.pop_front();
    }
    Record(StoreEvent::Kind::Added, added);
  }
  changed_.notify_all();
  if (dropped) RemoveFiles(*dropped);
}

void ReceiptStore::Clear() {
  std::deque<ReceiptPointer> dropped;
  {
    std::lock_guard lock(mutex_);
    dropped.swap(receipts_);
    Record(StoreEvent::Kind::Cleared, nullptr);
  }
  changed_.notify_all();
  for (const auto& receipt : dropped) RemoveFiles(*receipt);
}

std::vector<ReceiptPointer> ReceiptStore::NewestFirst() const {
  std::lock_guard lock(mutex_);
  return {receipts_.rbegin(), receipts_.rend()};
}

ReceiptPointer ReceiptStore::Find(int id) const {
  std::lock_guard lock(mutex_);
  for (const auto& receipt : receipts_)
    if (receipt->id == id) return receipt;
  return nullptr;
}

ReceiptStore::Events ReceiptStore::After(std::uint64_t after,
                                         std::chrono::milliseconds wait) const {
  std::unique_lock lock(mutex_);
  const std::uint64_t wakes = wakes_;
  changed_.wait_for(lock, wait, [&] { return sequence_ > after || wakes_ != wakes; });
  Events result;
  result.last = sequence_;
  if (sequence_ <= after) return result;
  result.missed = log_.empty() || log_.front().sequence > after + 1;
  for (const StoreEvent& event : log_)
    if (event.sequence > after) result.events.push_back(event);
  return result;
}

std::uint64_t ReceiptStore::LastSequence() const {
  std::lock_guard lock(mutex_);
  return sequence_;
}

void ReceiptStore::WakeAll() {
  {
    std::lock_guard lock(mutex_);
    ++wakes_;
  }
  changed_.notify_all();
}

void ReceiptStore::Record(StoreEvent::Kind kind, ReceiptPointer receipt) {
  log_.push_back({++sequence_, kind, std::move(receipt)});
  if (log_.size() > kLogLength) log_.pop_front();
}

void ReceiptStore::RemoveFiles(const Receipt& receipt) const {
  if (!ownsFiles_) return;
  std::error_code ec;  // a file a download still holds open goes with the folder at the end
  for (const auto& file : {receipt.picture, receipt.raw,
                           std::filesystem::path(receipt.picture).replace_extension(".txt")}) {
    if (!file.empty()) std::filesystem::remove(file, ec);
  }
}

}  // namespace qrticket::viewer::web
