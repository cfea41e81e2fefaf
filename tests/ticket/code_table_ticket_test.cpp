// The code-table ticket: each line selects its table and prints the sample in that table's
// own bytes (from the code pages' published charts); the ticket ends at the printer's defaults.
#include <gtest/gtest.h>

#include "devices/code_tables.h"
#include "recording_reporter.h"
#include "temp_dir.h"
#include "ticket/code_table_ticket.h"

namespace qrticket {
namespace {

using testing::Hex;

struct LineRow {
  const char* name;
  int table;
  const char* label;
  // ÁÂÃÀÇÉÊÍÓÔÕÚ áâãàçéêíóôõú €
  const char* sampleHex;
};
void PrintTo(const LineRow& row, std::ostream* os) { *os << row.name; }
class CodeTableLine : public ::testing::TestWithParam<LineRow> {};

TEST_P(CodeTableLine, SelectsItsTableAndPrintsTheSampleInIt) {
  const LineRow& r = GetParam();
  const Bytes expected = Bytes("\x1Bt") + static_cast<char>(r.table) + r.label;
  const Bytes ticket = CodeTableTicketBytes();
  const auto at = ticket.find(expected);
  ASSERT_NE(at, Bytes::npos) << Hex(expected);
  const auto end = ticket.find("\r\n", at);
  ASSERT_NE(end, Bytes::npos);
  EXPECT_EQ(Hex(ticket.substr(at + expected.size(), end - at - expected.size())), r.sampleHex);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, CodeTableLine,
    ::testing::Values(
        LineRow{"PC437", 0, "  0 PC437      ",
                "3F 3F 3F 3F 80 90 3F 3F 3F 3F 3F 3F 20 A0 83 3F 85 87 82 88 A1 A2 93 3F A3 20 3F"},
        LineRow{"PC850", 2, "  2 PC850      ",
                "B5 B6 C7 B7 80 90 D2 D6 E0 E2 E5 E9 20 A0 83 C6 85 87 82 88 A1 A2 93 E4 A3 20 3F"},
        LineRow{"PC860", 3, "  3 PC860      ",
                "86 8F 8E 91 80 90 89 8B 9F 8C 99 96 20 A0 83 84 85 87 82 88 A1 A2 93 94 A3 20 3F"},
        LineRow{"WPC1252", 16, " 16 WPC1252    ",
                "C1 C2 C3 C0 C7 C9 CA CD D3 D4 D5 DA 20 E1 E2 E3 E0 E7 E9 EA ED F3 F4 F5 FA 20 80"},
        LineRow{"PC858", 19, " 19 PC858      ",
                "B5 B6 C7 B7 80 90 D2 D6 E0 E2 E5 E9 20 A0 83 C6 85 87 82 88 A1 A2 93 E4 A3 20 D5"},
        LineRow{"ISO8859_15", 40, " 40 ISO8859-15 ",
                "C1 C2 C3 C0 C7 C9 CA CD D3 D4 D5 DA 20 E1 E2 E3 E0 E7 E9 EA ED F3 F4 F5 FA 20 A4"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CodeTableTicket, StartsAndEndsAtThePrintersDefaultsWithALinePerTable) {
  const Bytes ticket = CodeTableTicketBytes();
  EXPECT_EQ(ticket.rfind("\x1B@Tabela de caracteres\r\n", 0), 0u) << ticket.substr(0, 40);
  EXPECT_EQ(Hex(ticket.substr(ticket.size() - 4)), "1B 40 0D 0A");  // ESC @ last
  std::size_t selects = 0;
  for (std::size_t at = ticket.find("\x1Bt"); at != Bytes::npos; at = ticket.find("\x1Bt", at + 1))
    ++selects;
  EXPECT_EQ(selects, kCodeTableCount);
}

TEST(CodeTableTicket, TheJobWritesTheseBytes) {
  testing::TempDir dir;
  testing::RecordingReporter reporter;
  const std::string file = dir.File("tables.bin");
  PrintCodeTables(file, reporter);
  EXPECT_TRUE(reporter.messages.empty());
  EXPECT_EQ(testing::ReadFileBytes(file), CodeTableTicketBytes());
}

}  // namespace
}  // namespace qrticket
