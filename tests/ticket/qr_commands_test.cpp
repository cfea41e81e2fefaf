// The QR command blocks, byte for byte, at the edges of every field.
#include <gtest/gtest.h>

#include "devices/text_encoding.h"
#include "temp_dir.h"
#include "ticket/qr_commands.h"

namespace qrticket {
namespace {

using testing::Hex;

// The parts of the standard block around the data, for a given length field and parameters.
Bytes StandardBlock(std::string_view lengthLowHigh, char model, char size, char level,
                    const Bytes& data) {
  Bytes b = Bytes("\x1D\x28\x6B\x04\x00\x31\x41", 7) + model + '\0';
  b += Bytes("\x1D\x28\x6B\x03\x00\x31\x43", 7) + size;
  b += Bytes("\x1D\x28\x6B\x03\x00\x31\x45", 7) + level;
  b += Bytes("\x1D\x28\x6B") + Bytes(lengthLowHigh) + "\x31\x50\x30" + data;
  b += Bytes("\x1D\x28\x6B\x03\x00\x31\x51\x30", 8);
  return b;
}

Bytes WoosimBlock(std::string_view lengthLowHigh, const Bytes& data) {
  return Bytes("\x1B\x5A\x00\x0F\x06", 5) + Bytes(lengthLowHigh) + data;
}

struct LengthRow {
  const char* name;
  std::size_t dataLength;
  std::string_view lowHigh;
};
void PrintTo(const LengthRow& row, std::ostream* os) { *os << row.name; }


class LengthField : public ::testing::TestWithParam<LengthRow> {};

TEST_P(LengthField, BothDialectsCountTheDataPlusThree) {
  const LengthRow& row = GetParam();
  const Bytes data(row.dataLength, 'x');
  EXPECT_EQ(Hex(QrCommandsStandard(data, 6, 1, 1)),
            Hex(StandardBlock(row.lowHigh, 0x32, 6, 0x31, data)));
  EXPECT_EQ(Hex(QrCommandsWoosim(data, 6, 1, 1)), Hex(WoosimBlock(row.lowHigh, data)));
  EXPECT_EQ(QrCommandsStandard(data, 6, 1, 1).size(), 41 + row.dataLength);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, LengthField,
    ::testing::Values(LengthRow{"empty", 0, std::string_view("\x03\x00", 2)},
                      LengthRow{"sample_text", 140, std::string_view("\x8F\x00", 2)},
                      LengthRow{"low_byte_full", 252, std::string_view("\xFF\x00", 2)},
                      LengthRow{"high_byte_starts", 253, std::string_view("\x00\x01", 2)},
                      LengthRow{"three_hundred", 300, std::string_view("\x2F\x01", 2)},
                      LengthRow{"largest", 32764, std::string_view("\xFF\x7F", 2)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QrCommands, WorkedExampleAbc) {
  EXPECT_EQ(Hex(QrCommandsStandard("abc", 6, 1, 1)),
            "1D 28 6B 04 00 31 41 32 00 1D 28 6B 03 00 31 43 06 1D 28 6B 03 00 31 45 31 "
            "1D 28 6B 06 00 31 50 30 61 62 63 1D 28 6B 03 00 31 51 30");
  EXPECT_EQ(Hex(QrCommandsWoosim("abc", 6, 1, 1)), "1B 5A 00 0F 06 06 00 61 62 63");
}

struct ParameterRow {
  const char* name;
  std::int16_t size, level, model;
  char sizeByte, levelByte, modelByte;
};
void PrintTo(const ParameterRow& row, std::ostream* os) { *os << row.name; }


class Parameters : public ::testing::TestWithParam<ParameterRow> {};

TEST_P(Parameters, BecomeTheirCommandBytes) {
  const ParameterRow& r = GetParam();
  EXPECT_EQ(Hex(QrCommandsStandard("abc", r.size, r.level, r.model)),
            Hex(StandardBlock(std::string_view("\x06\x00", 2), r.modelByte, r.sizeByte,
                              r.levelByte, "abc")));
}

INSTANTIATE_TEST_SUITE_P(
    Edges, Parameters,
    ::testing::Values(ParameterRow{"size_zero", 0, 1, 1, '\x00', '\x31', '\x32'},
                      ParameterRow{"size_255", 255, 1, 1, '\xFF', '\x31', '\x32'},
                      ParameterRow{"level_L_model_1", 6, 0, 0, '\x06', '\x30', '\x31'},
                      ParameterRow{"level_H_micro", 6, 3, 2, '\x06', '\x33', '\x33'},
                      ParameterRow{"nothing_chosen", 6, -1, -1, '\x06', '\x2F', '\x30'}),
    [](const auto& info) { return std::string(info.param.name); });

struct FailureRow {
  const char* name;
  std::size_t dataLength;
  std::int16_t size, level, model;
  const char* standardStartsWith;  // nullptr: a normal block
  const char* woosimStartsWith;
};
void PrintTo(const FailureRow& row, std::ostream* os) { *os << row.name; }


class Failures : public ::testing::TestWithParam<FailureRow> {};

// A failed build returns the description (Windows-1252) and no command byte at all.
TEST_P(Failures, ReturnTheDescriptionInsteadOfTheBlock) {
  const FailureRow& r = GetParam();
  const Bytes data(r.dataLength, 'y');
  const Bytes standard = QrCommandsStandard(data, r.size, r.level, r.model);
  const Bytes woosim = QrCommandsWoosim(data, r.size, r.level, r.model);
  ASSERT_TRUE(r.standardStartsWith);
  EXPECT_EQ(standard.rfind(r.standardStartsWith, 0), 0u) << standard;
  EXPECT_EQ(standard.find('\x1D'), Bytes::npos);
  if (r.woosimStartsWith) {
    EXPECT_EQ(woosim.rfind(r.woosimStartsWith, 0), 0u) << woosim;
  } else {
    EXPECT_EQ(woosim.substr(0, 2), "\x1B\x5A");
  }
  // The failure is told apart from a block (for the command line's warning), with the same
  // bytes, and its description is Portuguese to the last word.
  const QrBlock block = QrBlockStandard(data, r.size, r.level, r.model);
  ASSERT_TRUE(block.failure.has_value());
  EXPECT_EQ(block.bytes, standard);
  EXPECT_EQ(Utf8ToCp1252(*block.failure), standard);
  EXPECT_EQ(block.failure->find("Overflow"), std::string::npos) << *block.failure;
  EXPECT_EQ(QrBlockWoosim(data, r.size, r.level, r.model).failure.has_value(),
            r.woosimStartsWith != nullptr);
}

TEST(QrCommands, ABlockThatBuildsCarriesNoFailure) {
  EXPECT_EQ(QrBlockStandard("abc", 6, 1, 1).failure, std::nullopt);
  EXPECT_EQ(QrBlockStandard("abc", 6, 1, 1).bytes, QrCommandsStandard("abc", 6, 1, 1));
  EXPECT_EQ(QrBlockWoosim("abc", 300, 1, 1).failure, std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, Failures,
    ::testing::Values(
        FailureRow{"one_byte_too_long", 32765, 6, 1, 1, "Capacidade excedida",
                   "Capacidade excedida"},
        FailureRow{"too_long_and_bad_size", 32765, 300, 1, 1, "Capacidade excedida",
                   "Capacidade excedida"},
        FailureRow{"size_256", 3, 256, 1, 1, "Argumento inv\xE1lido", nullptr},
        FailureRow{"size_minus_one", 3, -1, 1, 1, "Argumento inv\xE1lido", nullptr},
        FailureRow{"level_beyond_a_byte", 3, 6, 300, 1, "Argumento inv\xE1lido", nullptr},
        FailureRow{"level_overflows_16_bits", 3, 6, 32767, 1, "Capacidade excedida", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QrCommands, DataBytesPassUnchangedNulAndControlsIncluded) {
  const Bytes data("a\0b\r\n\x1B\xFF", 7);
  const Bytes block = QrCommandsStandard(data, 6, 1, 1);
  EXPECT_EQ(Hex(block.substr(25, 8 + data.size())), Hex(Bytes("\x1D\x28\x6B\x0A\x00\x31\x50\x30", 8) + data));
  EXPECT_EQ(Hex(QrCommandsWoosim(data, 6, 1, 1)), Hex(WoosimBlock(std::string_view("\x0A\x00", 2), data)));
}

TEST(QrCommands, WoosimIgnoresEverythingButTheData) {
  const Bytes reference = QrCommandsWoosim("abc", 6, 1, 1);
  for (const int v : {INT16_MIN, -1, 0, 3,
                      256, INT16_MAX}) {
    const auto s = static_cast<std::int16_t>(v);
    EXPECT_EQ(QrCommandsWoosim("abc", s, 1, 1), reference);
    EXPECT_EQ(QrCommandsWoosim("abc", 6, s, 1), reference);
    EXPECT_EQ(QrCommandsWoosim("abc", 6, 1, s), reference);
  }
}

}  // namespace
}  // namespace qrticket
