// The two-dimensional codes of GS ( k besides QR (PDF417, DataMatrix, Aztec, MaxiCode), drawn
// with zint and read back with ZXing-C++; their settings change the symbol as the printer's
// would, and settings out of range are ignored with the one before kept.
#include <gtest/gtest.h>

#include "code_reader.h"
#include "render_ticket.h"
#include "viewer_test_support.h"

namespace qrticket::viewer {
namespace {

using namespace std::string_literals;

// GS ( k pL pH cn fn params.
Bytes GsK(char cn, char fn, const Bytes& params) {
  const std::size_t length = params.size() + 2;
  return "\x1d(k"s + static_cast<char>(length & 0xFF) + static_cast<char>(length >> 8) + cn +
         fn + params;
}
Bytes Store(char cn, const Bytes& data) { return GsK(cn, 'P', "0" + data); }
Bytes Print(char cn) { return GsK(cn, 'Q', "0"); }

constexpr char kPdf417 = '0', kMaxi = '2', kAztec = '5', kDataMatrix = '6';

struct SymbolRow {
  const char* name;
  Bytes stream;
  const char* format;  // ZXing's name
  Bytes data;
  const char* kind;    // ours
  int moduleWidth;     // dots per module across (0: not checked)
  bool pure = false;   // read it as a lone symbol (ZXing finds small Aztec and MaxiCode so)
};
void PrintTo(const SymbolRow& row, std::ostream* out) { *out << row.name; }
class Symbols : public ::testing::TestWithParam<SymbolRow> {};

TEST_P(Symbols, ReadBackToTheirData) {
  const SymbolRow& row = GetParam();
  const RenderedTicket t = RenderTicket(row.stream);
  ASSERT_EQ(t.elements.size(), 1u) << testing::ReportText(t);
  EXPECT_EQ(t.elements[0].kind, row.kind);
  EXPECT_EQ(t.elements[0].command, "GS ( k");
  const auto codes = testing::ReadCodes(t, row.moduleWidth == 1 ? 3 : 1, row.pure);
  ASSERT_EQ(codes.size(), 1u) << testing::ReportText(t);
  EXPECT_EQ(codes[0].format, row.format);
  EXPECT_EQ(codes[0].bytes, row.data);
  if (row.moduleWidth > 0) {
    EXPECT_EQ(t.elements[0].width % row.moduleWidth, 0);
  }
}

const Bytes kText = "Talão 42 pão"s;

INSTANTIATE_TEST_SUITE_P(
    Codes, Symbols,
    ::testing::Values(
        SymbolRow{"Pdf417Defaults", Store(kPdf417, "PDF417 test") + Print(kPdf417), "PDF417",
                  "PDF417 test", "PDF417", 3},
        SymbolRow{"Pdf417Set", GsK(kPdf417, 'A', "\x04") + GsK(kPdf417, 'C', "\x02") +
                                   GsK(kPdf417, 'D', "\x04") + GsK(kPdf417, 'E', "0\x35") +
                                   Store(kPdf417, kText) + Print(kPdf417),
                  "PDF417", kText, "PDF417", 2},
        SymbolRow{"Pdf417Truncated", GsK(kPdf417, 'F', "\x01") + Store(kPdf417, "short") +
                                         Print(kPdf417),
                  "PDF417", "short", "PDF417", 3},
        SymbolRow{"DataMatrixDefaults", Store(kDataMatrix, "DataMatrix 1") + Print(kDataMatrix),
                  "DataMatrix", "DataMatrix 1", "DataMatrix", 3},
        SymbolRow{"DataMatrixFixedSize", GsK(kDataMatrix, 'B', "\x00\x18\x18"s) +
                                             GsK(kDataMatrix, 'C', "\x05") +
                                             Store(kDataMatrix, kText) + Print(kDataMatrix),
                  "DataMatrix", kText, "DataMatrix", 5},
        SymbolRow{"DataMatrixRectangle", GsK(kDataMatrix, 'B', "\x01\x00\x00"s) +
                                             Store(kDataMatrix, "rect") + Print(kDataMatrix),
                  "DataMatrix", "rect", "DataMatrix", 3},
        SymbolRow{"Aztec", GsK(kAztec, '3', "\x04") + Store(kAztec, "Aztec code") + Print(kAztec),
                  "Aztec", "Aztec code", "Aztec", 4, true},
        SymbolRow{"AztecCompact", GsK(kAztec, '2', "\x01\x02"s) + Store(kAztec, "AZ") + Print(kAztec),
                  "Aztec", "AZ", "Aztec", 3, true},
        SymbolRow{"MaxiCodeMode4", GsK(kMaxi, 'A', "4") + Store(kMaxi, "MaxiCode 4") + Print(kMaxi),
                  "MaxiCode", "MaxiCode 4", "MaxiCode", 1, true}),
    [](const auto& info) { return std::string(info.param.name); });

// The module size and the fixed DataMatrix size reach the drawing exactly.
TEST(SymbolSizes, FollowTheSettings) {
  const RenderedTicket dm = RenderTicket(GsK(kDataMatrix, 'B', "\x00\x20\x20"s) +
                                         GsK(kDataMatrix, 'C', "\x04") + Store(kDataMatrix, "x") +
                                         Print(kDataMatrix));
  ASSERT_EQ(dm.elements.size(), 1u) << testing::ReportText(dm);
  EXPECT_EQ(dm.elements[0].width, 32 * 4);
  EXPECT_EQ(dm.elements[0].height, 32 * 4);
  EXPECT_TRUE(testing::ReportHas(dm, "DataMatrix: 32 × 32 módulos, 1 bytes de dados"));
  // PDF417 rows are the row height times the module width tall.
  const RenderedTicket pdf = RenderTicket(GsK(kPdf417, 'C', "\x02") + GsK(kPdf417, 'D', "\x05") +
                                          GsK(kPdf417, 'B', "\x06") + Store(kPdf417, "rows") +
                                          Print(kPdf417));
  ASSERT_EQ(pdf.elements.size(), 1u) << testing::ReportText(pdf);
  EXPECT_EQ(pdf.elements[0].height, 6 * 5 * 2);
  // MaxiCode has one size, about 26 mm.
  const RenderedTicket maxi = RenderTicket(GsK(kMaxi, 'A', "4") + Store(kMaxi, "m") + Print(kMaxi));
  ASSERT_EQ(maxi.elements.size(), 1u);
  EXPECT_NEAR(maxi.elements[0].width, 209, 10);
}

TEST(SymbolPlacement, FollowsTheJustification) {
  const Bytes symbol = GsK(kDataMatrix, 'B', "\x00\x0a\x0a"s) + GsK(kDataMatrix, 'C', "\x03") +
                       Store(kDataMatrix, "c") + Print(kDataMatrix);  // 10 modules: 30 dots
  EXPECT_EQ(RenderTicket(symbol).elements.at(0).x, 0);
  EXPECT_EQ(RenderTicket("\x1b" "a1" + symbol).elements.at(0).x, (576 - 30) / 2);
  EXPECT_EQ(RenderTicket("\x1b" "a2" + symbol).elements.at(0).x, 576 - 30);
}

struct IgnoredRow {
  const char* name;
  Bytes stream;
  const char* reportHas;
  int width;  // of the symbol drawn with the settings before
};
void PrintTo(const IgnoredRow& row, std::ostream* out) { *out << row.name; }
class SettingsOutOfRange : public ::testing::TestWithParam<IgnoredRow> {};

// Out of range, a setting is ignored: the symbol is drawn with the one in force before.
TEST_P(SettingsOutOfRange, KeepTheSettingBefore) {
  const RenderedTicket t = RenderTicket(GetParam().stream);
  ASSERT_EQ(t.elements.size(), 1u) << testing::ReportText(t);
  EXPECT_EQ(t.elements[0].width, GetParam().width);
  EXPECT_TRUE(testing::ReportHas(t, GetParam().reportHas)) << testing::ReportText(t);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, SettingsOutOfRange,
    ::testing::Values(
        IgnoredRow{"DataMatrixModule17", GsK(kDataMatrix, 'B', "\x00\x0a\x0a"s) +
                                             GsK(kDataMatrix, 'C', "\x02") +
                                             GsK(kDataMatrix, 'C', "\x11") +
                                             Store(kDataMatrix, "c") + Print(kDataMatrix),
                   "DataMatrix: tamanho do módulo 17 fora do intervalo: ignorado, mantém-se 2", 20},
        IgnoredRow{"DataMatrixModule1", GsK(kDataMatrix, 'B', "\x00\x0a\x0a"s) +
                                            GsK(kDataMatrix, 'C', "\x01") +
                                            Store(kDataMatrix, "c") + Print(kDataMatrix),
                   "tamanho do módulo 1 fora do intervalo: ignorado, mantém-se 3", 30},
        IgnoredRow{"DataMatrixOddSize", GsK(kDataMatrix, 'B', "\x00\x0a\x0a"s) +
                                            GsK(kDataMatrix, 'B', "\x00\x0b\x0b"s) +
                                            Store(kDataMatrix, "c") + Print(kDataMatrix),
                   "DataMatrix: tamanho 11 fora do intervalo: ignorado, mantém-se 10", 30},
        IgnoredRow{"Pdf417ModuleWidth9", GsK(kPdf417, 'A', "\x01") + GsK(kPdf417, 'C', "\x09") +
                                             Store(kPdf417, "w") + Print(kPdf417),
                   "PDF417: largura do módulo 9 fora do intervalo: ignorado, mantém-se 3",
                   (17 + 17 + 17 + 17 + 18) * 3},
        IgnoredRow{"Pdf417Columns31", GsK(kPdf417, 'A', "\x01") + GsK(kPdf417, 'A', "\x1f") +
                                          Store(kPdf417, "w") + Print(kPdf417),
                   "PDF417: colunas 31 fora do intervalo: ignorado, mantém-se 1",
                   (17 + 17 + 17 + 17 + 18) * 3}),
    [](const auto& info) { return std::string(info.param.name); });

struct NothingRow {
  const char* name;
  Bytes stream;
  const char* reportHas;
};
void PrintTo(const NothingRow& row, std::ostream* out) { *out << row.name; }
class SymbolRefused : public ::testing::TestWithParam<NothingRow> {};

TEST_P(SymbolRefused, DrawsNothing) {
  const RenderedTicket t = RenderTicket(GetParam().stream);
  EXPECT_TRUE(t.elements.empty());
  EXPECT_TRUE(testing::ReportHas(t, GetParam().reportHas)) << testing::ReportText(t);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SymbolRefused,
    ::testing::Values(
        NothingRow{"PrintWithoutStore", Print(kPdf417), "PDF417: imprimir sem dados guardados"},
        NothingRow{"EachCodeKeepsItsOwnData", Store(kPdf417, "p") + Print(kDataMatrix),
                   "DataMatrix: imprimir sem dados guardados"},
        NothingRow{"InitialiseForgetsTheData", Store(kAztec, "a") + "\x1b@" + Print(kAztec),
                   "Aztec: imprimir sem dados guardados"},
        NothingRow{"TooMuchForTheFixedSize", GsK(kDataMatrix, 'B', "\x00\x0a\x0a"s) +
                                                 Store(kDataMatrix, Bytes(40, 'x')) +
                                                 Print(kDataMatrix),
                   "DataMatrix: nenhum símbolo: os dados não cabem"},
        NothingRow{"WiderThanThePaper", GsK(kDataMatrix, 'C', "\x10") +
                                            Store(kDataMatrix, Bytes(300, 'x')) + Print(kDataMatrix),
                   "não cabe na área de impressão (576 pontos): nenhum símbolo"},
        NothingRow{"UnknownCode", GsK('3', 'P', "0abc") + GsK('3', 'Q', "0"),
                   "GS ( k cn 0x33 ignorado (não desenhado), 2 vezes ao todo"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket::viewer
