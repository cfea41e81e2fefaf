// Standard output ("-") on Windows through the seam: a pipe whose reader is slow still gets
// every byte, one nobody reads fails after the stall time, a file takes the bytes at once.
#include <gtest/gtest.h>

#include "fake_system_calls.h"
#include "temp_dir.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kStall = 300ms;

Bytes LongText() {
  Bytes text;
  for (int i = 0; text.size() < 32764; ++i) text += std::to_string(i) + ' ';
  text.resize(32764);
  return text;
}

TEST(StandardOutput, ASlowReaderThatKeepsReadingGetsEveryByte) {
  FakeStdout out;
  out.pause = 40ms;  // about 17 pieces: 0.7 s in all, each well inside the stall time
  const Bytes text = LongText();
  const auto started = Clock::now();
  EXPECT_FALSE(RunTicketJob("-", out, kStall, text));
  EXPECT_GT(Clock::now() - started, kStall);
  EXPECT_EQ(out.received(), ExpectedTicket(text));
}

TEST(StandardOutput, APipeNobodyReadsTimesOut) {
  static FakeStdout out;  // its helper thread may still be inside WriteFile after the test
  out.stuck = true;
  const auto started = Clock::now();
  const std::optional<std::string> message = RunTicketJob("-", out, kStall);
  const auto elapsed = Clock::now() - started;
  ASSERT_TRUE(message);
  EXPECT_EQ(message->rfind("Falha na impressão:Tempo esgotado: o dispositivo \"-\"", 0), 0u) << *message;
  EXPECT_GE(elapsed, kStall);
  EXPECT_LT(elapsed, 3s);
}

TEST(StandardOutput, AFileTakesTheBytesAsTheyAre) {
  FakeStdout out;
  out.fileType = FILE_TYPE_DISK;
  EXPECT_FALSE(RunTicketJob("-", out, kStall));
  EXPECT_EQ(Hex(out.received()), Hex(ExpectedTicket()));
}

}  // namespace
}  // namespace qrticket::testing
