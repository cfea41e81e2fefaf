// The bench's receipts: the bound (the oldest goes), the files that go with a dropped receipt
// only when they are the store's own, clearing, and the event log the page's streams follow.
#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "receipt_store.h"
#include "temp_dir.h"

namespace qrticket::viewer::web {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

Receipt Numbered(int id) {
  Receipt receipt;
  receipt.id = id;
  return receipt;
}

// A receipt with real files in `dir`: ticket-N.png, .txt and .bin.
Receipt WithFiles(const fs::path& dir, int id) {
  Receipt receipt;
  receipt.id = id;
  receipt.picture = dir / ("ticket-" + std::to_string(id) + ".png");
  receipt.raw = dir / ("ticket-" + std::to_string(id) + ".bin");
  for (const auto& file : {receipt.picture, receipt.raw,
                           fs::path(receipt.picture).replace_extension(".txt")})
    std::ofstream(file) << id;
  return receipt;
}

std::vector<int> Ids(const ReceiptStore& store) {
  std::vector<int> ids;
  for (const auto& receipt : store.NewestFirst()) ids.push_back(receipt->id);
  return ids;
}

TEST(ReceiptStore, KeepsTheNewestUpToItsCapacity) {
  ReceiptStore store(3);
  for (int id = 1; id <= 5; ++id) store.Add(Numbered(id));
  EXPECT_EQ(Ids(store), (std::vector<int>{5, 4, 3}));
  EXPECT_EQ(store.Find(2), nullptr);
  ASSERT_NE(store.Find(3), nullptr);
  EXPECT_EQ(store.Find(3)->id, 3);
}

TEST(ReceiptStore, RemovesTheFilesOfADroppedReceiptWhenTheyAreItsOwn) {
  qrticket::testing::TempDir dir;
  ReceiptStore store(1, /*ownsFiles=*/true);
  const Receipt first = WithFiles(dir.path(), 1);
  store.Add(first);
  store.Add(WithFiles(dir.path(), 2));
  EXPECT_FALSE(fs::exists(first.picture));
  EXPECT_FALSE(fs::exists(first.raw));
  EXPECT_FALSE(fs::exists(fs::path(first.picture).replace_extension(".txt")));
  EXPECT_TRUE(fs::exists(dir.path() / "ticket-2.png"));
}

TEST(ReceiptStore, LeavesTheOperatorsFilesAlone) {
  qrticket::testing::TempDir dir;
  ReceiptStore store(1, /*ownsFiles=*/false);
  const Receipt first = WithFiles(dir.path(), 1);
  store.Add(first);
  store.Add(WithFiles(dir.path(), 2));
  store.Clear();
  EXPECT_TRUE(fs::exists(first.picture));
  EXPECT_TRUE(fs::exists(dir.path() / "ticket-2.bin"));
  EXPECT_TRUE(store.NewestFirst().empty());
}

TEST(ReceiptStore, ClearingEmptiesTheListAndRemovesItsOwnFiles) {
  qrticket::testing::TempDir dir;
  ReceiptStore store(10, /*ownsFiles=*/true);
  store.Add(WithFiles(dir.path(), 1));
  store.Add(WithFiles(dir.path(), 2));
  store.Clear();
  EXPECT_TRUE(store.NewestFirst().empty());
  EXPECT_TRUE(fs::is_empty(dir.path()));
  store.Add(Numbered(3));  // numbers go on: a page's old links never name a new receipt
  EXPECT_EQ(Ids(store), (std::vector<int>{3}));
}

TEST(ReceiptStore, EventsFollowInOrder) {
  ReceiptStore store;
  const std::uint64_t start = store.LastSequence();
  store.Add(Numbered(1));
  store.Clear();
  store.Add(Numbered(2));
  const auto got = store.After(start, 0ms);
  ASSERT_EQ(got.events.size(), 3u);
  EXPECT_FALSE(got.missed);
  EXPECT_EQ(got.events[0].kind, StoreEvent::Kind::Added);
  EXPECT_EQ(got.events[0].receipt->id, 1);
  EXPECT_EQ(got.events[1].kind, StoreEvent::Kind::Cleared);
  EXPECT_EQ(got.events[2].receipt->id, 2);
  EXPECT_EQ(got.last, store.LastSequence());
  EXPECT_TRUE(store.After(got.last, 0ms).events.empty());
}

TEST(ReceiptStore, AStreamFarBehindIsToldItMissedSome) {
  ReceiptStore store;
  for (int id = 1; id <= 500; ++id) store.Add(Numbered(id));
  const auto got = store.After(0, 0ms);
  EXPECT_TRUE(got.missed);
  EXPECT_EQ(got.last, 500u);
}

TEST(ReceiptStore, AWaitEndsWhenAReceiptComes) {
  ReceiptStore store;
  std::thread adder([&] {
    std::this_thread::sleep_for(50ms);
    store.Add(Numbered(7));
  });
  const auto started = std::chrono::steady_clock::now();
  const auto got = store.After(0, 10s);
  adder.join();
  EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
  ASSERT_EQ(got.events.size(), 1u);
  EXPECT_EQ(got.events[0].receipt->id, 7);
}

TEST(ReceiptStore, WakeAllEndsAWaitWithNothing) {
  ReceiptStore store;
  std::thread waker([&] {
    std::this_thread::sleep_for(50ms);
    store.WakeAll();
  });
  const auto started = std::chrono::steady_clock::now();
  const auto got = store.After(0, 10s);
  waker.join();
  EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
  EXPECT_TRUE(got.events.empty());
}

}  // namespace
}  // namespace qrticket::viewer::web
