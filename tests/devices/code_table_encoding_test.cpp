// Text encoded for the printer's code tables: each row is one table and the bytes the code
// page's published chart gives for the same Portuguese letters, "€" and "¤"; "?" where the
// table lacks the character.
#include <gtest/gtest.h>

#include "devices/code_table_encoding.h"
#include "devices/text_encoding.h"
#include "temp_dir.h"

namespace qrticket {
namespace {

using testing::Hex;

// ã Ã õ Õ ç Ç á é ê í ó ú À € ¤, then ASCII.
constexpr std::u32string_view kLetters = U"ãÃõÕçÇáéêíóúÀ€¤A~";

struct TableRow {
  int table;
  const char* name;
  const char* hex;
};
void PrintTo(const TableRow& row, std::ostream* os) { *os << row.name; }
class CodeTableEncoding : public ::testing::TestWithParam<TableRow> {};

TEST_P(CodeTableEncoding, GivesTheChartsBytes) {
  const CodeTableInfo* table = FindCodeTable(GetParam().table);
  ASSERT_NE(table, nullptr);
  EXPECT_STREQ(table->name, GetParam().name);
  EXPECT_EQ(Hex(EncodeInCodeTable(kLetters, *table)), GetParam().hex);
}

// The same letters from the ticket's Windows-1252 bytes give the same bytes.
TEST_P(CodeTableEncoding, FromWindows1252GivesTheSameBytes) {
  const CodeTableInfo* table = FindCodeTable(GetParam().table);
  ASSERT_NE(table, nullptr);
  const Bytes cp1252 = Utf8ToCp1252("ãÃõÕçÇáéêíóúÀ€¤A~").value();
  EXPECT_EQ(Hex(Cp1252ToCodeTable(cp1252, *table)), GetParam().hex);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, CodeTableEncoding,
    ::testing::Values(
        //                    ã  Ã  õ  Õ  ç  Ç  á  é  ê  í  ó  ú  À  €  ¤  A  ~
        TableRow{0, "PC437", "3F 3F 3F 3F 87 80 A0 82 88 A1 A2 A3 3F 3F 3F 41 7E"},
        TableRow{2, "PC850", "C6 C7 E4 E5 87 80 A0 82 88 A1 A2 A3 B7 3F CF 41 7E"},
        TableRow{3, "PC860", "84 8E 94 99 87 80 A0 82 88 A1 A2 A3 91 3F 3F 41 7E"},
        TableRow{16, "WPC1252", "E3 C3 F5 D5 E7 C7 E1 E9 EA ED F3 FA C0 80 A4 41 7E"},
        TableRow{19, "PC858", "C6 C7 E4 E5 87 80 A0 82 88 A1 A2 A3 B7 D5 CF 41 7E"},
        TableRow{40, "ISO8859-15", "E3 C3 F5 D5 E7 C7 E1 E9 EA ED F3 FA C0 A4 3F 41 7E"}),
    [](const auto& info) {
      std::string name = info.param.name;
      for (char& c : name) c = c == '-' ? '_' : c;
      return name;
    });

TEST(CodeTableEncoding, CharactersNoTableHoldsBecomeQuestionMarks) {
  const CodeTableInfo* table = FindCodeTable(16);
  ASSERT_NE(table, nullptr);
  // A C1 control, a CJK letter, an astral one: none is in WPC1252.
  EXPECT_EQ(Hex(EncodeInCodeTable(U"\u0081\u4E2D\U0001F600", *table)), "3F 3F 3F");
  // The five bytes Windows-1252 leaves undefined name no character: '?' in every table.
  EXPECT_EQ(Hex(Cp1252ToCodeTable("\x81\x8D\x8F\x90\x9D", *table)), "3F 3F 3F 3F 3F");
  // Control bytes below 0x80 pass as they are: ESC sequences in the text stay commands.
  EXPECT_EQ(Hex(Cp1252ToCodeTable(std::string("\x1b@\0\n", 4), *table)), "1B 40 00 0A");
}

}  // namespace
}  // namespace qrticket
