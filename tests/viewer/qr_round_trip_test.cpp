// Our own tickets, written by the real ticket job to a file, drawn by the virtual printer and
// scanned back with zbar: the symbol must hold exactly the data, or there must be no symbol
// where a printer would print none.
#include <gtest/gtest.h>
#include <qrencode.h>

#include <optional>

#include "devices/text_encoding.h"
#include "temp_dir.h"
#include "ticket/ticket_defaults.h"
#include "ticket_bytes.h"
#include "viewer_test_support.h"

namespace qrticket::viewer {
namespace {

using testing::DecodeQr;
using testing::ReportHas;
using testing::ReportText;
using testing::TicketSettings;
using qrticket::testing::TicketBytes;
using qrticket::testing::Hex;

Bytes Cp(std::string_view utf8) { return *Utf8ToCp1252(utf8); }

// ESC Z's length counts 3 bytes more than the data: the CR LF ending the statement and the
// "S" of "Size :" go into the symbol, as on a printer that reads the length as the data's.
Bytes WoosimRead(const Bytes& data) { return data + "\r\nS"; }

struct RoundTrip {
  const char* name;
  Bytes data;
  const char* size = "6";
  std::int16_t model = 1;
  std::int16_t level = 1;
  bool woosim = false;
  std::optional<Bytes> expected;  // nullopt: no symbol
  const char* reportHas = "";
  int paperWidth = 576;
};

const Bytes kSample = kSampleDataText;
const Bytes kAccents = Cp("Olá, açúcar, pão, € 5 — “citação” ñ ü ß");
const Bytes kWithNul("A\0B\0\0C", 6);

std::vector<RoundTrip> Rows() {
  return {
      {"DefaultTicket", kSample, "6", 1, 1, false, kSample, "versão 8, nível M, módulo 6"},
      {"DefaultTicketWoosim", kSample, "6", 1, 1, true, WoosimRead(kSample),
       "os últimos 3 (0D 0A 53) são da linha seguinte"},
      {"LevelL", "level L", "6", 1, 0, false, Bytes("level L"), "nível L"},
      {"LevelM", "level M", "6", 1, 1, false, Bytes("level M"), "nível M"},
      {"LevelQ", "level Q", "6", 1, 2, false, Bytes("level Q"), "nível Q"},
      {"LevelH", "level H", "6", 1, 3, false, Bytes("level H"), "nível H"},
      {"Accents", kAccents, "6", 1, 1, false, kAccents, "bytes de dados"},
      {"AccentsWoosim", kAccents, "6", 1, 1, true, WoosimRead(kAccents), "ESC Z"},
      {"Nul", kWithNul, "6", 1, 1, false, kWithNul, "6 bytes de dados"},
      {"NulWoosim", kWithNul, "6", 1, 1, true, WoosimRead(kWithNul), "ESC Z"},
      {"Model1DrawnAsModel2", "model one", "6", 0, 1, false, Bytes("model one"),
       "Modelo 1 pedido, desenhado como Modelo 2"},
      {"CapacityL", Bytes(2953, 'x'), "3", 1, 0, false, Bytes(2953, 'x'), "versão 40, nível L"},
      {"OverCapacityL", Bytes(2954, 'x'), "3", 1, 0, false, std::nullopt,
       "2954 bytes não cabem num símbolo Modelo 2 de nível L"},
      {"CapacityH", Bytes(1273, 'x'), "3", 1, 3, false, Bytes(1273, 'x'), "versão 40, nível H"},
      {"OverCapacityH", Bytes(1274, 'x'), "3", 1, 3, false, std::nullopt, "não cabem"},
      // ESC Z always draws 6-dot modules: 80 mm paper, not the symbol, sets the limit.
      {"WidestWoosim", Bytes(789, 'x'), "6", 1, 1, true, WoosimRead(Bytes(789, 'x')),
       "versão 19, nível L, módulo 6 pontos, 792 bytes de dados, 558 × 558 pontos: cabe"},
      {"OverWidestWoosim", Bytes(790, 'x'), "6", 1, 1, true, std::nullopt,
       "versão 20, nível L, módulo 6 pontos, 793 bytes de dados, 582 × 582 pontos: não cabe"},
      {"EmptyData", "", "6", 1, 1, false, std::nullopt, "imprimir sem dados guardados"},
      // Settings out of range are ignored: the printer's defaults (size 3, level L, model 2)
      // draw the symbol.
      {"ModuleSize0", "abc", "0", 1, 1, false, Bytes("abc"),
       "tamanho do módulo 0 fora de 1 a 16: ignorado, mantém-se 3 pontos"},
      {"ModuleSize17", "abc", "17", 1, 1, false, Bytes("abc"), "módulo 3 pontos"},
      {"NoLevelChosen", "abc", "6", 1, -1, false, Bytes("abc"),
       "nível de correção 0x2F inválido (0x30 a 0x33): ignorado, mantém-se nível L"},
      {"NoModelChosen", "abc", "6", -1, 1, false, Bytes("abc"),
       "modelo 0x30 inválido (0x31 a 0x33): ignorado, mantém-se o Modelo 2"},
      {"WiderThanPaper", kSample, "12", 1, 1, false, std::nullopt,
       "588 × 588 pontos: não cabe no papel (576 pontos)"},
      {"Paper58mm", kSample, "6", 1, 1, false, kSample, "cabe no papel (384 pontos)", 384},
      {"WiderThan58mm", kSample, "8", 1, 1, false, std::nullopt, "não cabe no papel (384", 384},
  };
}

void PrintTo(const RoundTrip& row, std::ostream* out) { *out << row.name; }

class QrRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(QrRoundTrip, ScansBackToTheData) {
  const RoundTrip& row = GetParam();
  QrPrintSettings settings = TicketSettings(row.data);
  settings.moduleSizeText = row.size;
  settings.modelIndex = row.model;
  settings.errorLevelIndex = row.level;
  settings.woosimDialect = row.woosim;
  RenderOptions options;
  options.paperWidth = row.paperWidth;
  const RenderedTicket ticket = RenderTicket(TicketBytes(settings), options);

  const auto decoded = DecodeQr(ticket);
  if (row.expected) {
    ASSERT_EQ(decoded.size(), 1u) << ReportText(ticket);
    EXPECT_EQ(Hex(decoded[0]), Hex(*row.expected));
  } else {
    EXPECT_TRUE(decoded.empty());
    EXPECT_TRUE(ticket.symbols.empty());
  }
  EXPECT_TRUE(ReportHas(ticket, row.reportHas)) << ReportText(ticket);
}

INSTANTIATE_TEST_SUITE_P(Tickets, QrRoundTrip, ::testing::ValuesIn(Rows()),
                         [](const auto& info) { return std::string(info.param.name); });

// Every module size printers accept, on a small symbol (21 modules at 16 dots fit 80 mm).
class ModuleSizes : public ::testing::TestWithParam<int> {};

TEST_P(ModuleSizes, ScanBack) {
  QrPrintSettings settings = TicketSettings("size test");
  settings.moduleSizeText = std::to_string(GetParam());
  settings.centred = true;
  const RenderedTicket ticket = RenderTicket(TicketBytes(settings));
  ASSERT_EQ(ticket.symbols.size(), 1u) << ReportText(ticket);
  EXPECT_EQ(ticket.symbols[0].moduleSize, GetParam());
  EXPECT_EQ(ticket.symbols[0].sizeDots, ticket.symbols[0].moduleSize * 21);
  // A module of one or two dots is below what zbar resolves unaided: enlarge, as a camera does.
  const auto decoded = DecodeQr(ticket, GetParam() < 3 ? 4 : 1);
  ASSERT_EQ(decoded.size(), 1u);
  EXPECT_EQ(decoded[0], "size test");
}

INSTANTIATE_TEST_SUITE_P(OneToSixteen, ModuleSizes, ::testing::Range(1, 17));

// Byte-mode data needs M3 at least (M1 and M2 have no byte mode).
// zbar reads no Micro QR, so the drawn modules are compared with a Micro QR symbol encoded
// here from the ticket's data: the same grid means the printer stored and drew those bytes.
struct MicroRow {
  const char* name;
  Bytes data;
  std::int16_t level;
  int version;  // expected M1..M4, 0 for no symbol
};

void PrintTo(const MicroRow& row, std::ostream* out) { *out << row.name; }

class MicroQr : public ::testing::TestWithParam<MicroRow> {};

TEST_P(MicroQr, DrawsTheDataModules) {
  const MicroRow& row = GetParam();
  QrPrintSettings settings = TicketSettings(row.data);
  settings.modelIndex = 2;
  settings.errorLevelIndex = row.level;
  const RenderedTicket ticket = RenderTicket(TicketBytes(settings));
  if (row.version == 0) {
    EXPECT_TRUE(ticket.symbols.empty()) << ReportText(ticket);
    return;
  }
  ASSERT_EQ(ticket.symbols.size(), 1u) << ReportText(ticket);
  EXPECT_TRUE(ticket.symbols[0].micro);
  EXPECT_EQ(ticket.symbols[0].version, row.version);
  EXPECT_TRUE(ReportHas(ticket, "versão M" + std::to_string(row.version) + " (Micro QR)"));
  std::unique_ptr<QRcode, decltype(&QRcode_free)> expected(
      QRcode_encodeDataMQR(static_cast<int>(row.data.size()),
                           reinterpret_cast<const unsigned char*>(row.data.data()), row.version,
                           static_cast<QRecLevel>(row.level)),
      &QRcode_free);
  ASSERT_TRUE(expected);
  std::vector<std::uint8_t> grid;
  for (int i = 0; i < expected->width * expected->width; ++i) grid.push_back(expected->data[i] & 1);
  EXPECT_EQ(testing::SampleModules(ticket, 0, expected->width), grid);
}

INSTANTIATE_TEST_SUITE_P(
    Levels, MicroQr,
    ::testing::Values(MicroRow{"M3LevelL", "abc", 0, 3}, MicroRow{"M3LevelM", "abcdefg", 1, 3},
                      MicroRow{"M4LevelQ", "abcdefghi", 2, 4},
                      MicroRow{"LevelHRefused", "abc", 3, 0},
                      MicroRow{"LongestForM4L", Bytes(15, 'x'), 0, 4},
                      MicroRow{"OneOverM4L", Bytes(16, 'x'), 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// The data line of the ticket is text: the accents must come out as their own glyphs, so the
// rendered line of "ção" differs from "cao".
TEST(TicketText, AccentsAreDrawnAsTheirOwnCharacters) {
  const RenderedTicket plain = RenderTicket("cao\n");
  const RenderedTicket accented = RenderTicket(Cp("ção\n"));
  EXPECT_NE(plain.pixels, accented.pixels);
}

}  // namespace
}  // namespace qrticket::viewer
