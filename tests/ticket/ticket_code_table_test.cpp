// The ticket for a printer at another code table: ESC t n right after ESC @, the printed text
// in that table byte for byte, the QR data as always.
#include <gtest/gtest.h>

#include "default_ticket.h"
#include "recording_reporter.h"
#include "temp_dir.h"
#include "ticket/publisher.h"
#include "ticket/qr_commands.h"
#include "ticket/ticket_job.h"

namespace qrticket {
namespace {

using testing::DefaultTicketTo;
using testing::Hex;
using testing::ReadFileBytes;

// "Olá € ã" in Windows-1252: the data the QR symbol carries whatever the table.
const Bytes kData = "Ol\xE1 \x80 \xE3";

struct TableRow {
  const char* name;
  int table;
  const char* company;  // "...INFORMAÇÃO LDA" in the table
  const char* page;     // "Modo Página"
  const char* echo;     // "Olá € ã" on the data line
};
void PrintTo(const TableRow& row, std::ostream* os) { *os << row.name; }
class CodeTableTicket : public ::testing::TestWithParam<TableRow> {};

// Written out independently of the code under test, as the default ticket's test does.
Bytes Expected(const TableRow& r) {
  const Bytes rule(40, '-');
  Bytes t = Bytes("\x1B@\x1Bt") + static_cast<char>(r.table) + "\n";  // ESC @, ESC t n
  t += Bytes("BREVALUNDA - SISTEMAS DE INFORMA") + r.company + "O LDA\n";
  t += "\n** Portaria No. 195/2020 **\n** Teste ao QR CODE **\n\r\n";
  t += QrCommandsStandard(kData, 6, 1, 1) + "\r\n";
  t += Bytes("Size : 6 \r\nModel : 1 \r\nErrorLevel : 1 \r\nModo P") + r.page + "gina :No\r\n";
  t += Bytes("QR CODE> ") + r.echo + "\n\r\n";
  t += rule + "\r\n" + "    DESENVOLVEMOS O SEU SOFTWARE\r\n" + rule + "\r\n";
  t += "Email    : " + Bytes(publisher::kEmail) + " \r\n";
  t += "Telefone : " + Bytes(publisher::kPhone) + " \r\n";
  t += "Internet : " + Bytes(publisher::kWeb) + ":\r\n";
  for (int i = 0; i < 6; ++i) t += "\n\r\n";
  return t;
}

TEST_P(CodeTableTicket, SelectsTheTableAndPrintsItsText) {
  testing::TempDir dir;
  testing::RecordingReporter reporter;
  auto settings = DefaultTicketTo(dir.File("ticket.bin"));
  settings.dataText = kData;
  settings.codeTable = GetParam().table;
  PrintQrTest(settings, reporter);
  EXPECT_EQ(Hex(ReadFileBytes(settings.deviceName)), Hex(Expected(GetParam())));
  EXPECT_TRUE(reporter.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Tables, CodeTableTicket,
    ::testing::Values(
        //                         Ç   Ã      á       O  l  á     €     ã
        TableRow{"PC437", 0, "\x80?", "\xA0", "Ol\xA0 ? ?"},
        TableRow{"PC850", 2, "\x80\xC7", "\xA0", "Ol\xA0 ? \xC6"},
        TableRow{"PC860", 3, "\x80\x8E", "\xA0", "Ol\xA0 ? \x84"},
        TableRow{"WPC1252", 16, "\xC7\xC3", "\xE1", "Ol\xE1 \x80 \xE3"},
        TableRow{"PC858", 19, "\x80\xC7", "\xA0", "Ol\xA0 \xD5 \xC6"},
        TableRow{"ISO8859_15", 40, "\xC7\xC3", "\xE1", "Ol\xE1 \xA4 \xE3"},
        // A table the tool does not know is still selected; the text stays in Windows-1252.
        TableRow{"Unknown255", 255, "\xC7\xC3", "\xE1", "Ol\xE1 \x80 \xE3"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket
