// Sorting what comes back: answers in pieces, automatic status and flow control in between,
// and bytes that belong to no answer.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "status/status_answer_reader.h"
#include "temp_dir.h"

namespace qrticket {
namespace {

using testing::Hex;
using namespace std::string_literals;

struct ReaderCase {
  const char* name;
  std::vector<std::string> reads;  // fed one after another; Take is tried after each
  AnswerKind kind;
  std::optional<std::string> answer;
  std::size_t unasked;             // automatic status blocks seen
};

class AnswerReaderTable : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(AnswerReaderTable, FindsTheAnswer) {
  const ReaderCase& c = GetParam();
  AnswerReader reader;
  std::optional<Bytes> answer;
  for (const std::string& read : c.reads) {
    reader.Feed(read);
    if (!answer) answer = reader.Take(c.kind);
  }
  ASSERT_EQ(answer.has_value(), c.answer.has_value()) << (answer ? Hex(*answer) : "none");
  if (answer) {
    EXPECT_EQ(Hex(*answer), Hex(*c.answer));
  }
  EXPECT_EQ(reader.unaskedCount(), c.unasked);
}

INSTANTIATE_TEST_SUITE_P(
    Streams, AnswerReaderTable,
    ::testing::Values(
        ReaderCase{"StatusByte", {"\x12"}, AnswerKind::StatusByte, "\x12", 0},
        ReaderCase{"StatusAfterAutomaticStatus", {"\x14\x00\x00\x00\x1A"s},
                   AnswerKind::StatusByte, "\x1A", 1},
        ReaderCase{"AutomaticStatusSplitOverReads", {"\x10\x00"s, "\x00"s, "\x0F\x36"s},
                   AnswerKind::StatusByte, "\x36", 1},
        ReaderCase{"XonXoffIgnored", {"\x13\x11\x16"}, AnswerKind::StatusByte, "\x16", 0},
        ReaderCase{"XoffInsideAutomaticStatus", {"\x10\x00\x13\x00\x00\x12"s},
                   AnswerKind::StatusByte, "\x12", 1},
        ReaderCase{"IdentityByteIsNoStatus", {"\x20"}, AnswerKind::StatusByte, std::nullopt, 0},
        ReaderCase{"LateIdentityByteSkipped", {"\x20\x72"}, AnswerKind::StatusByte, "\x72", 0},
        ReaderCase{"NothingYet", {""}, AnswerKind::StatusByte, std::nullopt, 0},
        ReaderCase{"IdentityByte", {"\x20"}, AnswerKind::IdentityByte, "\x20", 0},
        ReaderCase{"StatusByteIsNoIdentity", {"\x12\x02"}, AnswerKind::IdentityByte, "\x02", 0},
        ReaderCase{"IdentityZero", {"\x00"s}, AnswerKind::IdentityByte, "\x00"s, 0},
        ReaderCase{"Text", {"\x5F" "ACME\0"s}, AnswerKind::IdentityText, "ACME", 0},
        ReaderCase{"EmptyText", {"\x5F\0"s}, AnswerKind::IdentityText, "", 0},
        ReaderCase{"TextInPieces", {"\x5F" "AC", "M", "E\0"s}, AnswerKind::IdentityText,
                   "ACME", 0},
        ReaderCase{"TextWithoutItsNul", {"\x5F" "ACME"}, AnswerKind::IdentityText, std::nullopt,
                   0},
        // 'P' (0x50) looks like the start of automatic status; inside a text it is text.
        ReaderCase{"TextLettersAreNotAutomaticStatus", {"\x5FPPP\0"s}, AnswerKind::IdentityText,
                   "PPP", 0},
        ReaderCase{"TextAfterAutomaticStatus", {"\x10\x01\x02\x03\x5FX\0"s},
                   AnswerKind::IdentityText, "X", 1},
        ReaderCase{"LongestText", {"\x5F" + std::string(80, 'a') + "\0"s},
                   AnswerKind::IdentityText, std::string(80, 'a'), 0},
        ReaderCase{"TooLongIsNoText", {"\x5F" + std::string(81, 'a') + "\0"s},
                   AnswerKind::IdentityText, std::nullopt, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AnswerReader, OneAnswerAtATime) {
  AnswerReader reader;
  reader.Feed("\x12\x16\x1A");
  EXPECT_EQ(reader.Take(AnswerKind::StatusByte), "\x12");
  EXPECT_EQ(reader.Take(AnswerKind::StatusByte), "\x16");
  EXPECT_EQ(reader.Take(AnswerKind::StatusByte), "\x1A");
  EXPECT_EQ(reader.Take(AnswerKind::StatusByte), std::nullopt);
}

// A printer that streams automatic status without end: every block is counted, few are kept.
TEST(AnswerReader, KeepsOnlyTheLastFewUnaskedBlocks) {
  AnswerReader reader;
  for (int i = 0; i < 10000; ++i) {
    reader.Feed(std::string("\x10\x00\x00", 3) + static_cast<char>(i % 16));
    EXPECT_EQ(reader.Take(AnswerKind::StatusByte), std::nullopt);
  }
  EXPECT_EQ(reader.unaskedCount(), 10000u);
  ASSERT_EQ(reader.lastUnasked().size(), AnswerReader::kKeptUnasked);
  EXPECT_EQ(Hex(reader.lastUnasked().back()), Hex(std::string("\x10\x00\x00\x0F", 4)));
}

// What is set aside is gone: a stray answer, the start of a text, but automatic status blocks
// (even one split across the drain) are still counted.
TEST(AnswerReader, SetAsideDropsAllButCountsAutomaticStatus) {
  AnswerReader reader;
  reader.Feed("\x12\x5F" "AC"s);
  reader.SetAside();
  reader.Feed("\x10\x00"s);
  reader.SetAside();
  reader.Feed("\x00\x00\x16"s);
  EXPECT_EQ(reader.Take(AnswerKind::StatusByte), "\x16");
  EXPECT_EQ(reader.unaskedCount(), 1u);
  reader.Feed("ME\0"s);
  EXPECT_EQ(reader.Take(AnswerKind::IdentityText), std::nullopt);
}

// XON and XOFF are flow control on serial lines (taken out even inside a text) and data
// elsewhere.
TEST(AnswerReader, XonXoffAreDataWithoutFlowControl) {
  AnswerReader serial(/*flowControl=*/true), network(/*flowControl=*/false);
  for (AnswerReader* reader : {&serial, &network}) reader->Feed("\x5F" "A\x11" "B\x13\0"s);
  EXPECT_EQ(serial.Take(AnswerKind::IdentityText), "AB");
  EXPECT_EQ(Hex(*network.Take(AnswerKind::IdentityText)), Hex("A\x11" "B\x13"));
}

}  // namespace
}  // namespace qrticket
