// CharFromCode and the byte form of print statements.
#include <gtest/gtest.h>

#include "devices/char_from_code.h"
#include "devices/failure.h"
#include "devices/print_item.h"
#include "devices/text_encoding.h"
#include "temp_dir.h"

namespace qrticket {
namespace {

using testing::Hex;

TEST(CharFromCode, EveryByteValueIsOneCharacterOfThatByte) {
  for (int code = 0; code <= 255; ++code) {
    const Bytes c = CharFromCode(code);
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(static_cast<unsigned char>(c[0]), code);
  }
}

TEST(CharFromCode, OutsideAByteIsAnInvalidArgument) {
  for (const int code : {-1, 256, -32768, 32767}) {
    try {
      CharFromCode(code);
      ADD_FAILURE() << code << " was accepted";
    } catch (const PrintFailure& f) {
      EXPECT_EQ(f.code(), FailureCode::InvalidArgument);
      EXPECT_NE(f.description().find(std::to_string(code)), std::string::npos);
    }
  }
}

struct StatementRow {
  const char* name;
  PrintStatement statement;
  const char* hex;
};
void PrintTo(const StatementRow& row, std::ostream* os) { *os << row.name; }


class Statements : public ::testing::TestWithParam<StatementRow> {};

TEST_P(Statements, WriteTheirItemsThenCrLf) {
  EXPECT_EQ(Hex(FormatStatement(GetParam().statement)), GetParam().hex);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, Statements,
    ::testing::Values(
        StatementRow{"label_and_six", {"Size :", std::int16_t{6}}, "53 69 7A 65 20 3A 20 36 20 0D 0A"},
        StatementRow{"label_and_minus_five", {"Size :", std::int16_t{-5}},
                     "53 69 7A 65 20 3A 2D 35 20 0D 0A"},
        StatementRow{"zero", {std::int16_t{0}}, "20 30 20 0D 0A"},
        StatementRow{"minus_one", {std::int16_t{-1}}, "2D 31 20 0D 0A"},
        StatementRow{"largest", {std::int16_t{32767}}, "20 33 32 37 36 37 20 0D 0A"},
        StatementRow{"smallest", {std::int16_t{-32768}}, "2D 33 32 37 36 38 20 0D 0A"},
        StatementRow{"label_and_text", {*Utf8ToCp1252("Modo Página :"), "Yes"},
                     "4D 6F 64 6F 20 50 E1 67 69 6E 61 20 3A 59 65 73 0D 0A"},
        StatementRow{"line_feed_alone", {"\n"}, "0A 0D 0A"},
        StatementRow{"empty_text", {""}, "0D 0A"},
        StatementRow{"nul_inside", {Bytes("a\0b", 3)}, "61 00 62 0D 0A"},
        StatementRow{"high_bytes", {CharFromCode(128) + CharFromCode(129) + CharFromCode(255)},
                     "80 81 FF 0D 0A"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Statements, ALongStatementHasItsOnlyLineEndAtTheEnd) {
  const Bytes text(5000, 'q');
  const Bytes out = FormatStatement({text + "\n" + text});
  EXPECT_EQ(out.size(), 10003u);
  EXPECT_EQ(out.find("\r\n"), 10001u);
  EXPECT_EQ(out.find('\r'), 10001u);
}

}  // namespace
}  // namespace qrticket
