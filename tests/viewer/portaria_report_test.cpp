// The virtual printer's report judges every invoice QR code on the paper against Portaria
// 195/2020: symbols of the printer's own commands (GS ( k, ESC Z) and symbols sent as pictures
// (GS v 0, ESC *, GS ( L), which it decodes from its own drawing. The pictures are made here
// with libqrencode, so their level and version are known, and measured at each density.
#include <gtest/gtest.h>
#include <qrencode.h>

#include <algorithm>

#include "render_ticket.h"
#include "test_bitmap.h"
#include "viewer_test_support.h"

namespace qrticket::viewer {
namespace {

using namespace std::string_literals;
using testing::TestBitmap;

// The rule's own examples: a simplified invoice (141 bytes) and a pro-forma (209 bytes), and
// the first with its ATCUD run together (no hyphen), a message the rule refuses.
const Bytes kSimplified =
    "A:123456789*B:999999990*C:PT*D:FS*E:N*F:20190812*G:FS CDVF/12345*H:CDF7T5HD-12345*I1:PT*"
    "I7:0.65*I8:0.15*N:0.15*O:0.80*Q:YhGV*R:9999*S:NU;0.80";
const Bytes kProForma =
    "A:500000000*B:123456789*C:PT*D:PF*E:N*F:20190123*G:PF G2019CB/145789*H:HB6FT7RV-145789*"
    "I1:PT*I2:12345.34*I3:12532.65*I4:751.96*I5:52789.00*I6:6862.57*I7:32425.69*I8:7457.91*"
    "N:15072.44*O:125165.12*Q:r/fY*R:9999";
const Bytes kNoHyphen =
    "A:123456789*B:999999990*C:PT*D:FS*E:N*F:20190812*G:FS CDVF/12345*H:CDF7T5HD12345*I1:PT*"
    "I7:0.65*I8:0.15*N:0.15*O:0.80*Q:YhGV*R:9999*S:NU;0.80";

Bytes Word(int value) { return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)}; }

// GS ( k cn 0x31: level M, module `size`, the data, print.
Bytes GsK(char fn, const Bytes& params) {
  return "\x1d(k"s + Word(static_cast<int>(params.size()) + 2) + '1' + fn + params;
}
Bytes NativeQr(const Bytes& data, char size, char level = '1') {
  return GsK('C', Bytes(1, size)) + GsK('E', Bytes(1, level)) + GsK('P', "0" + data) +
         GsK('Q', "0");
}
// ESC Z m n k dL dH data: version, level and module size in the command.
Bytes EscZ(char version, char level, char size, const Bytes& data) {
  return "\x1bZ"s + version + level + size + Word(static_cast<int>(data.size())) + data;
}

// The symbol libqrencode makes for `data` in byte mode at exactly `version`, one bitmap dot
// per module times `module`, without a quiet zone: a picture drawn to the paper's edge.
TestBitmap QrPicture(const Bytes& data, int version, QRecLevel level, int module) {
  QRcode* code = QRcode_encodeData(static_cast<int>(data.size()),
                                   reinterpret_cast<const unsigned char*>(data.data()), version,
                                   level);
  EXPECT_NE(code, nullptr);
  if (code == nullptr) return {};
  EXPECT_EQ(code->version, version) << "the data needs a larger version";
  TestBitmap modules{code->width, code->width, {}};
  for (int i = 0; i < code->width * code->width; ++i) modules.dots.push_back(code->data[i] & 1);
  QRcode_free(code);
  return modules.Scaled(module, module);
}

// GS v 0 m xL xH yL yH data
Bytes Raster(const TestBitmap& b, char mode = 0) {
  return "\x1dv0"s + mode + Word((b.width + 7) / 8) + Word(b.height) + testing::RasterBytes(b);
}
// The rows [top, top + rows) of a bitmap.
TestBitmap Rows(const TestBitmap& b, int top, int rows) {
  TestBitmap part{b.width, rows, {}};
  for (int y = top; y < top + rows; ++y) {
    for (int x = 0; x < b.width; ++x) part.dots.push_back(y < b.height && b.At(x, y));
  }
  return part;
}
// A picture sent in strips of `rows` rows, one GS v 0 each, as drivers send tall images.
Bytes RasterStrips(const TestBitmap& b, int rows) {
  Bytes out;
  for (int top = 0; top < b.height; top += rows) out += Raster(Rows(b, top, rows));
  return out;
}
// ESC * 33 (24 dots tall, double density) bands, one line each at a 24-dot line spacing.
Bytes ColumnBands(const TestBitmap& b) {
  Bytes out = "\x1b" "3\x18"s;
  for (int top = 0; top < b.height; top += 24) {
    const TestBitmap band = Rows(b, top, 24);
    out += "\x1b*\x21"s + Word(band.width) + testing::ColumnBytes(band) + "\n";
  }
  return out;
}
// ESC * 0 (8 dots tall, single density: each bit 2 dots wide and 3 tall) bands, one line each.
Bytes EightDotBands(const TestBitmap& b) {
  Bytes out = "\x1b" "3\x18"s;
  for (int top = 0; top < b.height; top += 8) {
    const TestBitmap band = Rows(b, top, 8);
    out += "\x1b*\x00"s + Word(band.width) + testing::ColumnBytes(band) + "\n";
  }
  return out;
}
// GS ( L fn 112 storing a raster graphic at scale 1 × 1, then fn 50 printing it.
Bytes Graphics(const TestBitmap& b) {
  const Bytes params = "0p0\x01\x01" "1"s + Word(b.width) + Word(b.height) +
                       testing::RasterBytes(b);
  return "\x1d(L"s + Word(static_cast<int>(params.size())) + params + "\x1d(L\x02\x00" "02"s;
}

// Sizes used below: a version 10 symbol (57 modules) at 4 dots is 228 dots, 32,1 mm at 180 dpi
// and 28,5 at 203; at 5 dots, 285 dots, 35,6 mm at 203.
const TestBitmap kProFormaAt5 = QrPicture(kProForma, 10, QR_ECLEVEL_M, 5);
const TestBitmap kProFormaAt4 = QrPicture(kProForma, 10, QR_ECLEVEL_M, 4);

struct PortariaRow {
  const char* name;
  Bytes stream;
  int dpi;
  // The lines the report holds one after the other; none at all means no "Portaria" line.
  std::vector<std::string> lines;
  int paperWidth = kPaperWidth80mm;
};
void PrintTo(const PortariaRow& row, std::ostream* out) { *out << row.name; }

class PortariaReport : public ::testing::TestWithParam<PortariaRow> {};

TEST_P(PortariaReport, JudgesTheInvoiceCodeAsDrawn) {
  const PortariaRow& row = GetParam();
  RenderOptions options;
  options.dpi = row.dpi;
  options.paperWidth = row.paperWidth;
  const RenderedTicket ticket = RenderTicket(row.stream, options);
  const std::vector<std::string>& report = ticket.report;
  const auto portaria = std::count_if(report.begin(), report.end(), [](const std::string& line) {
    return line.starts_with("Portaria 195/2020");
  });
  if (row.lines.empty()) {
    EXPECT_EQ(portaria, 0) << testing::ReportText(ticket);
    return;
  }
  EXPECT_EQ(portaria, 1) << testing::ReportText(ticket);
  const auto first = std::find(report.begin(), report.end(), row.lines.front());
  ASSERT_NE(first, report.end()) << row.lines.front() << "\n" << testing::ReportText(ticket);
  const std::vector<std::string> found(
      first, first + std::min<std::ptrdiff_t>(report.end() - first,
                                              static_cast<std::ptrdiff_t>(row.lines.size())));
  EXPECT_EQ(found, row.lines) << testing::ReportText(ticket);
}

const std::string kMeets = "Portaria 195/2020: cumpre";
const std::string kFails = "Portaria 195/2020: não cumpre";

INSTANTIATE_TEST_SUITE_P(
    Symbols, PortariaReport,
    ::testing::Values(
        // The printer's own commands: level, version and size as the commands give them.
        PortariaRow{"EscZVersion9At5Dots", EscZ(9, 'M', 5, kSimplified), 203,
                    {"byte 0: QR (ESC Z): versão 9, nível M, módulo 5 pontos, 141 bytes de "
                     "dados, 265 × 265 pontos: cabe no papel (576 pontos), em x=0, y=0",
                     kMeets}},
        PortariaRow{"GsKVersion10At5Dots", NativeQr(kProForma, 5), 203,
                    {"byte 233: QR (GS ( k): versão 10, nível M, módulo 5 pontos, 209 bytes de "
                     "dados, 285 × 285 pontos: cabe no papel (576 pontos), em x=0, y=0",
                     kMeets}},
        PortariaRow{"GsKAt4DotsAt180Dpi", NativeQr(kProForma, 4), 180, {kMeets}},
        PortariaRow{"GsKAt4DotsAt300Dpi", NativeQr(kProForma, 4), 300,
                    {kFails,
                     "Símbolo: 19,3 mm de largura a 300 ppp; a portaria pede pelo menos 30 mm "
                     "(não cumpre)"}},
        // GS ( k picks the smallest version: 141 bytes fit version 8, a warning only.
        PortariaRow{"GsKBelowVersion9", NativeQr(kSimplified, 6), 203,
                    {"Portaria 195/2020: cumpre, com avisos",
                     "Símbolo: versão 8; a portaria pede a versão 9 ou mais. A impressora "
                     "escolhe a versão pelo comprimento do texto (aviso)"}},
        PortariaRow{"GsKLevelL", NativeQr(kProForma, 5, '0'), 203,
                    {kFails, "Símbolo: nível L; a portaria pede o nível M (não cumpre)"}},
        PortariaRow{"EscZMessageRefused", EscZ(9, 'M', 5, kNoHyphen), 203,
                    {kFails, "H: ATCUD sem hífen entre o código de validação e o número "
                             "sequencial (ex.: CDF7T5HD-12345) (não cumpre)"}},
        PortariaRow{"WiderThanThePaper", NativeQr(kProForma, 8), 203,
                    {kFails, "Símbolo: a impressora não desenha nenhum símbolo (não cumpre)"},
                    kPaperWidth58mm},
        PortariaRow{"NotAnInvoiceCode", NativeQr("https://exemplo.pt/A:1", 5), 203, {}},
        // Pictures: everything is read back from the dots.
        PortariaRow{"RasterImage", Raster(kProFormaAt5), 203,
                    {"byte 0: QR lido na imagem (GS v 0): versão 10, nível M, módulo 5 pontos, "
                     "209 bytes de dados, 285 × 285 pontos (35,6 × 35,6 mm a 203 ppp), em x=0, "
                     "y=0",
                     kMeets}},
        PortariaRow{"RasterImageAt180Dpi", Raster(kProFormaAt4), 180,
                    {"byte 0: QR lido na imagem (GS v 0): versão 10, nível M, módulo 4 pontos, "
                     "209 bytes de dados, 228 × 228 pontos (32,1 × 32,1 mm a 180 ppp), em x=0, "
                     "y=0",
                     kMeets}},
        PortariaRow{"RasterImageAt300Dpi", Raster(kProFormaAt4), 300,
                    {kFails,
                     "Símbolo: 19,3 mm de largura a 300 ppp; a portaria pede pelo menos 30 mm "
                     "(não cumpre)"}},
        PortariaRow{"RasterImageCentredInStrips", "\x1b" "a1"s + RasterStrips(kProFormaAt5, 64),
                    203,
                    {"byte 3: QR lido na imagem (GS v 0): versão 10, nível M, módulo 5 pontos, "
                     "209 bytes de dados, 285 × 285 pontos (35,6 × 35,6 mm a 203 ppp), em "
                     "x=144, y=0",
                     kMeets}},
        // Double width: the symbol is as tall as before, and that side is measured.
        PortariaRow{"RasterImageDoubleWidth", Raster(kProFormaAt4, 1), 203,
                    {"byte 0: QR lido na imagem (GS v 0): versão 10, nível M, módulo 8 × 4 "
                     "pontos, 209 bytes de dados, 456 × 228 pontos (57,0 × 28,5 mm a 203 ppp), "
                     "em x=0, y=0",
                     kFails,
                     "Símbolo: 28,5 mm de largura a 203 ppp; a portaria pede pelo menos 30 mm "
                     "(não cumpre)"}},
        PortariaRow{"RasterImageLevelQ",
                    Raster(QrPicture(kSimplified, 10, QR_ECLEVEL_Q, 5)), 203,
                    {kFails, "Símbolo: nível Q; a portaria pede o nível M (não cumpre)"}},
        PortariaRow{"RasterImageMessageRefused",
                    Raster(QrPicture(kNoHyphen, 9, QR_ECLEVEL_M, 5)), 203,
                    {kFails, "H: ATCUD sem hífen entre o código de validação e o número "
                             "sequencial (ex.: CDF7T5HD-12345) (não cumpre)"}},
        PortariaRow{"RasterImageNotAnInvoiceCode",
                    Raster(QrPicture("https://exemplo.pt/A:1", 9, QR_ECLEVEL_M, 5)), 203, {}},
        PortariaRow{"ColumnImageBands", ColumnBands(kProFormaAt5), 203,
                    {"byte 3: QR lido na imagem (ESC *): versão 10, nível M, módulo 5 pontos, "
                     "209 bytes de dados, 285 × 285 pontos (35,6 × 35,6 mm a 203 ppp), em x=0, "
                     "y=0",
                     kMeets}},
        // Modules of 2 × 3 dots: the symbol is measured by its width, 14,2 mm.
        PortariaRow{"ColumnImageEightDots",
                    EightDotBands(QrPicture(kProForma, 10, QR_ECLEVEL_M, 1)), 203,
                    {"byte 3: QR lido na imagem (ESC *): versão 10, nível M, módulo 2 × 3 "
                     "pontos, 209 bytes de dados, 114 × 171 pontos (14,2 × 21,3 mm a 203 ppp), "
                     "em x=0, y=0",
                     kFails,
                     "Símbolo: 14,2 mm de largura a 203 ppp; a portaria pede pelo menos 30 mm "
                     "(não cumpre)"}},
        PortariaRow{"GraphicsBuffer", Graphics(kProFormaAt4), 300,
                    {"byte 6627: QR lido na imagem (GS ( L): versão 10, nível M, módulo 4 pontos, "
                     "209 bytes de dados, 228 × 228 pontos (19,3 × 19,3 mm a 300 ppp), em x=0, "
                     "y=0",
                     kFails}}),
    [](const auto& info) { return std::string(info.param.name); });

// A native symbol above two pictures: each symbol is judged once, the native one where it is
// drawn and the pictures' when the paper is complete, the second at its own, smaller size.
TEST(PortariaReportOfEach, NativeSymbolAndTwoPictures) {
  const RenderedTicket ticket =
      RenderTicket(NativeQr(kProForma, 5) + Raster(kProFormaAt5) + "\n" + Raster(kProFormaAt4));
  const auto count = [&](const std::string& verdict) {
    return std::count(ticket.report.begin(), ticket.report.end(), verdict);
  };
  EXPECT_EQ(count(kMeets), 2) << testing::ReportText(ticket);
  EXPECT_EQ(count(kFails), 1) << testing::ReportText(ticket);
  EXPECT_TRUE(testing::ReportHas(ticket, "Símbolo: 28,5 mm de largura a 203 ppp"))
      << testing::ReportText(ticket);
}

// A picture taller than what is read at once: each symbol is judged once, the one that two
// readings see as well as the one that only the second sees whole.
TEST(PortariaReportOfEach, SymbolsOfAVeryTallPicture) {
  TestBitmap tall{kPaperWidth80mm, 6000, std::vector<std::uint8_t>(kPaperWidth80mm * 6000, 0)};
  for (const int top : {2100, 3950}) {
    for (int y = 0; y < kProFormaAt5.height; ++y) {
      for (int x = 0; x < kProFormaAt5.width; ++x) {
        tall.dots[static_cast<std::size_t>(top + y) * tall.width + 100 + x] = kProFormaAt5.At(x, y);
      }
    }
  }
  const RenderedTicket ticket = RenderTicket(Raster(tall));
  std::vector<std::string> read;
  for (const std::string& line : ticket.report) {
    if (line.find("QR lido na imagem") != std::string::npos) read.push_back(line);
  }
  ASSERT_EQ(read.size(), 2u) << testing::ReportText(ticket);
  EXPECT_NE(read[0].find("em x=100, y=2100"), std::string::npos) << read[0];
  EXPECT_NE(read[1].find("em x=100, y=3950"), std::string::npos) << read[1];
}

}  // namespace
}  // namespace qrticket::viewer
