// The channel table: open, already open, not open, close with nothing open.
#include <gtest/gtest.h>

#include "devices/device_channel.h"
#include "devices/failure.h"
#include "temp_dir.h"

namespace qrticket {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

FailureCode CodeOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const PrintFailure& f) {
    return f.code();
  }
  return FailureCode{};
}

TEST(DeviceChannel, SecondOpenFailsAndTheFirstOutputIsStillDelivered) {
  TempDir dir;
  DeviceChannel channel;
  channel.OpenForOutput(1, dir.File("first.bin"));
  channel.PrintItems(1, {"one"});
  EXPECT_EQ(CodeOf([&] { channel.OpenForOutput(1, dir.File("second.bin")); }),
            FailureCode::AlreadyOpen);
  channel.PrintItems(1, {"two"});
  channel.CloseAll();
  EXPECT_EQ(ReadFileBytes(dir.File("first.bin")), "one\r\ntwo\r\n");
  EXPECT_FALSE(std::filesystem::exists(dir.File("second.bin")));
  EXPECT_FALSE(channel.isOpen(1));
}

TEST(DeviceChannel, WritingToAClosedChannelIsABadChannel) {
  DeviceChannel channel;
  EXPECT_EQ(CodeOf([&] { channel.PrintItems(1, {"x"}); }), FailureCode::BadChannel);
}

TEST(DeviceChannel, CloseAllWithNothingOpenDoesNothing) {
  DeviceChannel channel;
  EXPECT_NO_THROW(channel.CloseAll());
  EXPECT_NO_THROW(channel.CloseAll());
}

TEST(DeviceChannel, ChannelsAreIndependentAndAllCloseTogether) {
  TempDir dir;
  DeviceChannel channel;
  channel.OpenForOutput(1, dir.File("a.bin"));
  channel.OpenForOutput(2, dir.File("b.bin"));
  channel.PrintItems(2, {"b"});
  channel.PrintItems(1, {"a", std::int16_t{1}});
  channel.CloseAll();
  EXPECT_EQ(ReadFileBytes(dir.File("a.bin")), "a 1 \r\n");
  EXPECT_EQ(ReadFileBytes(dir.File("b.bin")), "b\r\n");
}

TEST(DeviceChannel, StatementsLargerThanTheHoldLimitArriveWholeAndInOrder) {
  TempDir dir;
  DeviceChannel channel;
  channel.OpenForOutput(1, dir.File("big.bin"));
  Bytes expected;
  for (char c = 'a'; c <= 'e'; ++c) {
    const Bytes line(DeviceChannel::kHoldLimit / 2 + 7, c);
    channel.PrintItems(1, {line});
    expected += line + "\r\n";
  }
  channel.CloseAll();
  EXPECT_EQ(ReadFileBytes(dir.File("big.bin")), expected);
}

TEST(DeviceChannel, AFailedOpenLeavesTheChannelClosed) {
  TempDir dir;
  DeviceChannel channel;
  EXPECT_EQ(CodeOf([&] { channel.OpenForOutput(1, dir.File("missing/x.bin")); }),
            FailureCode::NotFound);
  EXPECT_FALSE(channel.isOpen(1));
  channel.OpenForOutput(1, dir.File("x.bin"));
  EXPECT_TRUE(channel.isOpen(1));
}

}  // namespace
}  // namespace qrticket
