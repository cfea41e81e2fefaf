// QR commands as a printer checks them, straight from command bytes: which settings are taken,
// which refused, and what the print command then draws (or why it draws nothing).
#include <gtest/gtest.h>

#include "render_ticket.h"
#include "test_bitmap.h"
#include "viewer_test_support.h"

namespace qrticket::viewer {
namespace {

using namespace std::string_literals;

// GS ( k pL pH cn fn params, with pL pH counting cn, fn and the parameters.
Bytes GsK(char fn, const Bytes& params) {
  const std::size_t length = params.size() + 2;
  return "\x1d(k"s + static_cast<char>(length & 0xFF) + static_cast<char>(length >> 8) + '1' +
         fn + params;
}
Bytes Model(char n) { return GsK('A', Bytes{n, '\0'}); }
Bytes Size(char n) { return GsK('C', Bytes(1, n)); }
Bytes Level(char n) { return GsK('E', Bytes(1, n)); }
Bytes Store(const Bytes& data) { return GsK('P', "0" + data); }
const Bytes kPrint = GsK('Q', "0");

// ESC Z m n k dL dH data, the length counting the data only.
Bytes EscZ(char version, char level, char size, const Bytes& data) {
  return "\x1bZ"s + version + level + size + static_cast<char>(data.size() & 0xFF) +
         static_cast<char>(data.size() >> 8) + data;
}

struct QrRow {
  const char* name;
  Bytes stream;
  const char* symbol;  // "version level size", or "" for no symbol
  const char* reportHas;
};

void PrintTo(const QrRow& row, std::ostream* out) { *out << row.name; }

class QrCommands : public ::testing::TestWithParam<QrRow> {};

TEST_P(QrCommands, DrawOrRefuse) {
  const QrRow& row = GetParam();
  const RenderedTicket t = RenderTicket(row.stream);
  std::string symbol;
  if (!t.symbols.empty()) {
    const RenderedSymbol& s = t.symbols[0];
    symbol = s.micro ? "M" : "";
    symbol += std::to_string(s.version) + " " + s.level + " " + std::to_string(s.moduleSize);
  }
  EXPECT_EQ(symbol, row.symbol) << testing::ReportText(t);
  EXPECT_TRUE(testing::ReportHas(t, row.reportHas)) << testing::ReportText(t);
}

INSTANTIATE_TEST_SUITE_P(
    Streams, QrCommands,
    ::testing::Values(
        QrRow{"PrinterDefaults", Store("abc") + kPrint, "1 L 3", "módulo 3 pontos, 3 bytes"},
        QrRow{"AllSet", Model('2') + Size(5) + Level('3') + Store("abc") + kPrint, "1 H 5",
              "byte 36: QR (GS ( k): versão 1, nível H, módulo 5 pontos"},
        QrRow{"SizeSixteen", Size(16) + Store("abc") + kPrint, "1 L 16", "336 × 336"},
        // A setting out of its range is ignored: the one in force stays.
        QrRow{"SizeSeventeenIgnored", Size(17) + Store("abc") + kPrint, "1 L 3",
              "byte 0: QR: tamanho do módulo 17 fora de 1 a 16: ignorado, mantém-se 3 pontos"},
        QrRow{"SizeZeroKeepsTheSizeBefore", Size(5) + Size(0) + Store("abc") + kPrint, "1 L 5",
              "byte 8: QR: tamanho do módulo 0 fora de 1 a 16: ignorado, mantém-se 5 pontos"},
        QrRow{"BadSizeCorrectedLater", Size(0) + Size(4) + Store("abc") + kPrint, "1 L 4",
              "módulo 4 pontos"},
        QrRow{"BadModelKeepsModel2", Model('4') + Store("abc") + kPrint, "1 L 3",
              "modelo 0x34 inválido (0x31 a 0x33): ignorado, mantém-se o Modelo 2"},
        QrRow{"BadModelKeepsMicro", Model('3') + Model('0') + Store("abc") + kPrint, "M3 L 3",
              "ignorado, mantém-se o Micro QR"},
        QrRow{"BadLevelKeepsTheLevelBefore", Level('2') + Level('4') + Store("abc") + kPrint,
              "1 Q 3", "nível de correção 0x34 inválido (0x30 a 0x33): ignorado, mantém-se nível Q"},
        QrRow{"PrintWithoutStore", kPrint, "", "imprimir sem dados guardados"},
        QrRow{"StoreWithOtherM", GsK('P', "1abc") + kPrint, "", "m diferente de 0x30"},
        QrRow{"StoreReplacesData", Store("first") + Store("second") + kPrint, "1 L 3",
              "6 bytes de dados"},
        QrRow{"UnknownFunction", GsK('R', "0") + Store("a") + kPrint, "1 L 3",
              "função 0x52 de GS ( k ignorada"},
        QrRow{"MicroQr", Model('3') + Store("abc") + kPrint, "M3 L 3", "versão M3 (Micro QR)"},
        QrRow{"MicroQrLevelH", Model('3') + Level('3') + Store("abc") + kPrint, "",
              "o Micro QR não tem nível H"},
        QrRow{"PrintedTwice", Store("abc") + kPrint + kPrint, "1 L 3", "byte 19: QR (GS ( k): versão 1"},
        QrRow{"EscZLetterLevel", EscZ(0, 'Q', 4, "abc"), "1 Q 4", "ESC Z: versão 0 (automática)"},
        QrRow{"EscZNumberLevel", EscZ(0, 3, 4, "abc"), "1 H 4", "nível 0x03"},
        QrRow{"EscZUndocumentedLevel", EscZ(0, 0x0F, 6, "abc"), "1 L 6",
              "nível 0x0F não é 'L', 'M', 'Q' nem 'H' (nem 0 a 3): desenhado com nível L"},
        QrRow{"EscZFixedVersion", EscZ(5, 'L', 2, "abc"), "5 L 2", "versão 5"},
        QrRow{"EscZFixedVersionTooSmall", EscZ(1, 'L', 2, Bytes(18, 'x')), "",
              "18 bytes não cabem na versão 1 de nível L"},
        QrRow{"EscZVersionOutOfRange", EscZ(41, 'L', 2, "abc"), "", "versão 41 fora de 0 a 40"},
        QrRow{"EscZSizeZero", EscZ(0, 'L', 0, "abc"), "", "tamanho do módulo 0 fora de 1 a 16"},
        QrRow{"EscZNoData", EscZ(0, 'L', 4, ""), "", "imprimir sem dados guardados"},
        QrRow{"EscZDataWithLineEnd", EscZ(0, 'L', 4, "ab\r\nS"), "1 L 4",
              "os últimos 3 (0D 0A 53) são da linha seguinte"}),
    [](const auto& info) { return std::string(info.param.name); });

struct OddPlacementRow {
  const char* name;
  Bytes justify;
  int paper;
  int x;  // where the 105-dot symbol's left edge lands
};
void PrintTo(const OddPlacementRow& row, std::ostream* out) { *out << row.name; }
class QrOddWidth : public ::testing::TestWithParam<OddPlacementRow> {};

// 21 modules of 5 dots: 105 dots, an odd width. The drawn modules must start exactly at x
// (a finder pattern's dark corner) and end at x + 104: one dot off is a failure.
TEST_P(QrOddWidth, LandsOnItsDot) {
  const OddPlacementRow& row = GetParam();
  RenderOptions options;
  options.paperWidth = row.paper;
  const RenderedTicket t = RenderTicket(row.justify + Size(5) + Store("odd") + kPrint, options);
  ASSERT_EQ(t.symbols.size(), 1u) << testing::ReportText(t);
  EXPECT_EQ(t.symbols[0].sizeDots, 105);
  EXPECT_EQ(t.symbols[0].x, row.x);
  const auto ink = testing::InkBox(t);
  EXPECT_EQ(ink.left, row.x);
  EXPECT_EQ(ink.right, row.x + 104);
  EXPECT_EQ(ink.top, 0);
  EXPECT_EQ(ink.bottom, 104);
  EXPECT_EQ(testing::DecodeQr(t).at(0), "odd");
}

INSTANTIATE_TEST_SUITE_P(
    Justification, QrOddWidth,
    ::testing::Values(OddPlacementRow{"Left", "", 576, 0},
                      OddPlacementRow{"Centred", "\x1b" "a1", 576, (576 - 105) / 2},
                      OddPlacementRow{"Right", "\x1b" "a2", 576, 576 - 105},
                      OddPlacementRow{"Centred58mm", "\x1b" "a\x01", 384, (384 - 105) / 2},
                      OddPlacementRow{"Right58mm", "\x1b" "a\x02", 384, 384 - 105}),
    [](const auto& info) { return std::string(info.param.name); });

// ESC Z at version 40, the top of its range: 177 modules of 3 dots (531 dots) fit 80 mm.
TEST(QrPlacement, EscZAtVersion40IsDrawn) {
  const Bytes data(1000, 'v');
  const RenderedTicket t = RenderTicket("\x1b" "a1" + EscZ(40, 'L', 3, data));
  ASSERT_EQ(t.symbols.size(), 1u) << testing::ReportText(t);
  EXPECT_EQ(t.symbols[0].version, 40);
  EXPECT_EQ(t.symbols[0].sizeDots, 531);
  EXPECT_EQ(t.symbols[0].x, (576 - 531) / 2);
  const auto decoded = testing::DecodeQr(t);
  ASSERT_EQ(decoded.size(), 1u);
  EXPECT_EQ(decoded[0], data);
  // One past the top is refused.
  EXPECT_TRUE(RenderTicket(EscZ(41, 'L', 3, "x")).symbols.empty());
}

TEST(QrPlacement, FollowsTheJustification) {
  const Bytes symbol = Size(4) + Store("abc") + kPrint;  // 21 modules: 84 dots
  EXPECT_EQ(RenderTicket(symbol).symbols.at(0).x, 0);
  EXPECT_EQ(RenderTicket("\x1b" "a\x01" + symbol).symbols.at(0).x, (576 - 84) / 2);
  EXPECT_EQ(RenderTicket("\x1b" "a\x02" + symbol).symbols.at(0).x, 576 - 84);
  // Text waiting in the line buffer prints first; the symbol goes below it.
  EXPECT_EQ(RenderTicket("text" + symbol).symbols.at(0).y, 30);
}

}  // namespace
}  // namespace qrticket::viewer
