// The ticket's symbol as the program's image (--raster): the GS v 0 header, the image scanned
// back with zbar, Model 2 at the chosen level and version 9 or more, each module the chosen
// number of dots, centred as the printer centres its own symbol; the refusals, with nothing
// sent; and the facts that --check and --portaria give for it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "devices/text_encoding.h"
#include "portaria/portaria_ticket.h"
#include "qr_scan.h"
#include "recording_reporter.h"
#include "status/checked_ticket_job.h"
#include "symbol_settings.h"
#include "symbols/probe_ticket.h"
#include "symbols/qr_capacity.h"
#include "symbols/raster_ticket_symbol.h"
#include "symbols/symbol_facts.h"
#include "symbols/symbol_facts_text.h"
#include "temp_dir.h"
#include "ticket/qr_commands.h"
#include "ticket/ticket_defaults.h"
#include "ticket/ticket_job.h"
#include "ticket_bytes.h"

namespace qrticket {
namespace {

using testing::GreyPicture;
using testing::Hex;
using testing::RecordingReporter;
using testing::ScanQr;
using testing::TicketBytes;

const Bytes kGsV0("\x1D\x76\x30\x00", 4);

QrPrintSettings Raster(QrPrintSettings settings) {
  settings.symbolImage = &DrawTicketSymbol;
  return settings;
}

QrPrintSettings Raster(Bytes data, const char* size = "6", std::int16_t model = 1,
                       std::int16_t level = 1) {
  return Raster(testing::Settings(std::move(data), size, model, level));
}

// A GS v 0 command at `at` of `ticket`, as a printer reads it.
struct RasterImage {
  int mode = -1;
  int rowBytes = 0;
  int rows = 0;
  std::size_t size = 0;  // the command's bytes, header included
  bool Dark(const Bytes& ticket, std::size_t at, int x, int y) const {
    return (static_cast<unsigned char>(ticket[at + 8 + static_cast<std::size_t>(y) * rowBytes +
                                              x / 8]) &
            (0x80 >> (x % 8))) != 0;
  }
};

RasterImage ReadRaster(const Bytes& ticket, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(ticket.at(at + i)); };
  RasterImage image;
  image.mode = byte(3);
  image.rowBytes = byte(4) + 256 * byte(5);
  image.rows = byte(6) + 256 * byte(7);
  image.size = 8 + static_cast<std::size_t>(image.rowBytes) * image.rows;
  return image;
}

// The image on white paper, for zbar.
GreyPicture Picture(const Bytes& ticket, std::size_t at, const RasterImage& image) {
  constexpr int kBorder = 40;
  GreyPicture picture;
  picture.width = image.rowBytes * 8 + 2 * kBorder;
  picture.height = image.rows + 2 * kBorder;
  picture.pixels.assign(static_cast<std::size_t>(picture.width) * picture.height, 255);
  for (int y = 0; y < image.rows; ++y) {
    for (int x = 0; x < image.rowBytes * 8; ++x) {
      if (image.Dark(ticket, at, x, y))
        picture.pixels[static_cast<std::size_t>(y + kBorder) * picture.width + x + kBorder] = 0;
    }
  }
  return picture;
}

struct DrawnRow {
  const char* name;
  std::size_t length;  // bytes of text
  const char* size;
  int dots;            // per module
  std::int16_t level;  // 0 L .. 3 H
};
void PrintTo(const DrawnRow& row, std::ostream* os) { *os << row.name; }

// Text that the printer's automatic choice would put below version 9 when short.
Bytes TextOf(std::size_t length) {
  Bytes text = kSampleDataText;
  while (text.size() < length) text += text;
  return text.substr(0, length);
}

class RasterTicket : public ::testing::TestWithParam<DrawnRow> {};

TEST_P(RasterTicket, ImageInPlaceOfTheCommandsDecodesToTheText) {
  const DrawnRow& row = GetParam();
  const auto level = static_cast<QrEcLevel>(row.level);
  const Bytes text = TextOf(row.length);
  const Bytes commands = TicketBytes(testing::Settings(text, row.size, 1, row.level));
  const Bytes ticket = TicketBytes(Raster(text, row.size, 1, row.level));

  // Where the printer's commands stood, and only there.
  const Bytes block = QrCommandsStandard(text, static_cast<std::int16_t>(row.dots), row.level, 1);
  const std::size_t at = commands.find(block);
  ASSERT_NE(at, Bytes::npos);
  ASSERT_EQ(ticket.substr(0, at), commands.substr(0, at));
  ASSERT_EQ(ticket.substr(at, 4), kGsV0);
  const RasterImage image = ReadRaster(ticket, at);
  EXPECT_EQ(Hex(ticket.substr(at + image.size)), Hex(commands.substr(at + block.size())));

  // Version 9, or the smallest that holds the text when that is larger.
  const int version = std::max(9, SmallestSymbol(text, QrModel::Model2, level)->version);
  const int dots = (17 + 4 * version) * row.dots;
  EXPECT_EQ(image.mode, 0);
  EXPECT_EQ(image.rowBytes, (dots + 7) / 8);
  EXPECT_EQ(image.rows, dots);

  // Module for module the libqrencode symbol of that version and level, no quiet zone.
  const auto grid = EncodeQr(text, QrModel::Model2, level, version);
  ASSERT_TRUE(grid);
  int wrong = 0;
  for (int y = 0; y < dots; ++y)
    for (int x = 0; x < image.rowBytes * 8; ++x)
      wrong += image.Dark(ticket, at, x, y) !=
               (x < dots && grid->Dark(y / row.dots, x / row.dots));
  EXPECT_EQ(wrong, 0);

  const std::vector<Bytes> decoded = ScanQr(Picture(ticket, at, image));
  ASSERT_EQ(decoded.size(), 1u);
  EXPECT_EQ(decoded[0], text);

  // The facts say the same.
  const SymbolFacts facts = SymbolFactsFor(Raster(text, row.size, 1, row.level));
  EXPECT_TRUE(facts.raster);
  EXPECT_EQ(facts.size.version, version);
  EXPECT_EQ(facts.dots, dots);
  EXPECT_EQ(facts.level, level);
}

INSTANTIATE_TEST_SUITE_P(
    SizesAndLevels, RasterTicket,
    ::testing::Values(DrawnRow{"Sample6DotsM", 140, "6", 6, 1},
                      DrawnRow{"Sample2DotsL", 140, "2", 2, 0},
                      DrawnRow{"Sample3DotsQ", 140, "3", 3, 2},
                      DrawnRow{"Sample8DotsH", 140, "8", 8, 3},
                      DrawnRow{"HalfRoundsToEven", 140, "4.5", 4, 1},
                      DrawnRow{"OneByte5DotsM", 1, "5", 5, 1},
                      DrawnRow{"Version9LastM", 180, "4", 4, 1},
                      DrawnRow{"Version10FirstM", 181, "4", 4, 1},
                      DrawnRow{"Long2DotsL", 1000, "2", 2, 0},
                      DrawnRow{"LongestM", 2331, "3", 3, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// Model 1 (which libqrencode does not make) and the woosim box give the same image as Model 2:
// no ESC Z goes out, and the rest of the ticket is the same too.
TEST(RasterTicket, Model1AndWoosimGiveTheModel2Image) {
  const Bytes model2 = TicketBytes(Raster(kSampleDataText));
  QrPrintSettings woosim = Raster(kSampleDataText);
  woosim.woosimDialect = true;
  EXPECT_EQ(Hex(TicketBytes(woosim)), Hex(model2));
  const Bytes model1 = TicketBytes(Raster(kSampleDataText, "6", 0, 1));
  // Only the echo's "Model : 0" differs.
  ASSERT_EQ(model1.size(), model2.size());
  EXPECT_EQ(std::mismatch(model1.begin(), model1.end(), model2.begin()).first - model1.begin(),
            static_cast<long>(model2.find("Model : 1") + 8));

  const SymbolFacts facts = SymbolFactsFor(woosim);
  EXPECT_EQ(facts.dialect, QrDialect::kStandard);
  EXPECT_EQ(facts.data, kSampleDataText);  // no 3 bytes taken in after it
  EXPECT_EQ(IgnoredSettings(facts),
            "woosim: não segue o comando ESC Z, a imagem vai no lugar do comando QR");
  EXPECT_EQ(IgnoredSettings(SymbolFactsFor(Raster(kSampleDataText, "6", 0, 1))),
            "modelo 1: a imagem é Modelo 2 (a libqrencode não gera o Modelo 1)");
}

// Centred, the image's padding to whole bytes is split, so that ESC a 1 puts the symbol where
// it puts the printer's own; not centred, the symbol starts at the image's left edge as the
// printer's starts at the margin.
TEST(RasterTicket, CentredImageSplitsItsPadding) {
  const struct {
    const char* size;
    int symbolDots;
    int left;  // white dots before the symbol when centred
  } rows[] = {{"6", 318, 1}, {"5", 265, 3}, {"8", 424, 0}, {"7", 371, 2}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.size);
    for (const bool centred : {false, true}) {
      QrPrintSettings settings = Raster(kSampleDataText, row.size);
      settings.centred = centred;
      const Bytes ticket = TicketBytes(settings);
      const std::size_t at = ticket.find(kGsV0);
      ASSERT_NE(at, Bytes::npos);
      const RasterImage image = ReadRaster(ticket, at);
      EXPECT_EQ(image.rowBytes, (row.symbolDots + 7) / 8);
      // The finder pattern's top row: dark from the symbol's first dot to its seventh module.
      int first = 0;
      while (first < image.rowBytes * 8 && !image.Dark(ticket, at, first, 0)) ++first;
      int last = image.rowBytes * 8 - 1;
      while (last > 0 && !image.Dark(ticket, at, last, 0)) --last;
      EXPECT_EQ(first, centred ? row.left : 0);
      EXPECT_EQ(last - first + 1, row.symbolDots);
    }
  }
}

struct RefusalRow {
  const char* name;
  QrPrintSettings settings;
  const char* why;  // the description's end
};
void PrintTo(const RefusalRow& row, std::ostream* os) { *os << row.name; }

class RasterRefusal : public ::testing::TestWithParam<RefusalRow> {};

TEST_P(RasterRefusal, FailsBeforeTheDeviceIsOpened) {
  const RefusalRow& row = GetParam();
  testing::TempDir dir;
  QrPrintSettings settings = row.settings;
  settings.deviceName = dir.File("ticket.bin");
  RecordingReporter reporter;
  const JobResult job = PrintQrTest(settings, reporter);
  EXPECT_EQ(job.status, JobResult::Status::Failed);
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(reporter.messages[0],
            std::string("Falha na impressão:O código QR não se desenha como imagem com estes "
                        "parâmetros: ") +
                row.why);
  EXPECT_FALSE(std::filesystem::exists(settings.deviceName));
  // With the status asked around the ticket, the printer is not even asked.
  RecordingReporter checked;
  JobResult checkedJob;
  PrintQrTestWithStatusCheck(settings, checked, {}, {}, SystemCalls::Real(), &checkedJob);
  EXPECT_EQ(checkedJob.status, JobResult::Status::Failed);
  EXPECT_EQ(checked.messages, reporter.messages);
  EXPECT_FALSE(std::filesystem::exists(settings.deviceName));
  // --check says why too, and fails.
  const SymbolFacts facts = SymbolFactsFor(settings);
  EXPECT_FALSE(facts.printsOn80mm());
  EXPECT_EQ(WhyNoRasterImage(facts), row.why);
}

INSTANTIATE_TEST_SUITE_P(
    Refused, RasterRefusal,
    ::testing::Values(
        RefusalRow{"MicroQr", Raster(kSampleDataText, "6", 2, 1),
                   "a imagem é um código QR Modelo 2 de versão 9 ou mais, e o Micro QR não passa "
                   "da versão M4: escolha o Modelo 2"},
        RefusalRow{"NoLevelChosen", Raster(kSampleDataText, "6", 1, -1),
                   "a imagem leva o nível de correção escolhido, e 0x2F (nenhum escolhido) não "
                   "é nenhum dos níveis L, M, Q e H"},
        RefusalRow{"LevelPastH", Raster(kSampleDataText, "6", 1, 4),
                   "a imagem leva o nível de correção escolhido, e 0x34 não é nenhum dos níveis "
                   "L, M, Q e H"},
        RefusalRow{"SizeZero", Raster(kSampleDataText, "0"),
                   "a imagem precisa de módulos de 1 ponto ou mais, e o tamanho do módulo é 0"},
        RefusalRow{"SizeNegative", Raster(kSampleDataText, "-3"),
                   "a imagem precisa de módulos de 1 ponto ou mais, e o tamanho do módulo é -3"},
        RefusalRow{"NoText", Raster(""), "sem dados: não há imagem a desenhar"},
        RefusalRow{"OneBytePastM", Raster(Bytes(2332, 'x'), "3"),
                   "2332 bytes: não cabe num código QR (o Modelo 2 de nível M leva até 2331 "
                   "bytes)"},
        RefusalRow{"WiderThan80mm", Raster(kSampleDataText, "11"),
                   "a imagem tem 583 pontos de largura (72,9 mm) e não cabe no papel de 80 mm "
                   "(576 pontos)"},
        RefusalRow{"SizeNotAByte", Raster(kSampleDataText, "300"),
                   "a imagem tem 15900 pontos de largura (1989,5 mm) e não cabe no papel de "
                   "80 mm (576 pontos)"}),
    [](const auto& info) { return std::string(info.param.name); });

// The widest image that fits 80 mm paper is drawn; a dot more per module is refused above.
TEST(RasterTicket, WidestOn80mmIsDrawn) {
  const QrPrintSettings settings = Raster(kSampleDataText, "10");
  const Bytes ticket = TicketBytes(settings);
  const std::size_t at = ticket.find(kGsV0);
  ASSERT_NE(at, Bytes::npos);
  EXPECT_EQ(ReadRaster(ticket, at).rows, 530);
  const SymbolFacts facts = SymbolFactsFor(settings);
  EXPECT_TRUE(facts.printsOn80mm());
  EXPECT_FALSE(facts.fits58mm);
}

// The rule's version point: the printer's own symbol of the sample is version 8, a warning;
// the image is version 9, and only the message's own findings remain.
TEST(RasterTicket, PortariaSeesVersion9) {
  const auto findings = [](const QrPrintSettings& settings) {
    return portaria::PrintedSymbolOf(SymbolFactsFor(settings), 203);
  };
  const auto printer = findings(testing::Settings(kSampleDataText));
  const auto image = findings(Raster(kSampleDataText));
  ASSERT_TRUE(printer && image);
  EXPECT_EQ(printer->version, 8);
  EXPECT_EQ(image->version, 9);
  EXPECT_EQ(image->widthDots, 318);
  EXPECT_EQ(image->level, 'M');
  EXPECT_FALSE(image->micro);
  EXPECT_TRUE(portaria::CheckSymbol(*image).empty());
}

// The facts in words: the command, the symbol, and no word of the printer's accepted sizes.
TEST(RasterTicket, ReportNamesTheImage) {
  const std::string report = SymbolFactsReport(SymbolFactsFor(Raster(Bytes(300, 'x'), "4")));
  EXPECT_EQ(report.rfind("Comando: imagem GS v 0 desenhada pelo programa no lugar do comando QR "
                         "da impressora: Modelo 2, nível M, versão 9 ou mais, módulo de 4 pontos\n",
                         0),
            0u)
      << report;
  EXPECT_NE(report.find("Símbolo: versão 13, 69 × 69 módulos, 276 × 276 pontos"),
            std::string::npos)
      << report;
  EXPECT_NE(report.find("Versão 13: a menor que leva os dados"), std::string::npos) << report;
  EXPECT_EQ(report.find("Tamanhos de módulo aceites"), std::string::npos) << report;
  const std::string line = SymbolFactsLine(SymbolFactsFor(Raster(kSampleDataText)));
  EXPECT_EQ(line, "Imagem, versão 9\n53×53 módulos\n318 pontos, 39,8 mm\ncabe em 80 e 58 mm");
}

// The limits ticket tests the printer's own command whatever the raster choice.
TEST(RasterTicket, LimitsTicketIsTheSame) {
  const QrPrintSettings settings = testing::Settings(kSampleDataText);
  EXPECT_EQ(ProbeTicketBytes(Raster(settings), 576), ProbeTicketBytes(settings, 576));
}

// What `qrticket --device FILE --raster --size 5 --error-level 2 --centred` wrote (a test before
// this one, cli_write_raster), against the core's bytes; run only through CTest.
TEST(CliRasterFile, IsTheCoresTicket) {
  const char* file = std::getenv("QRTICKET_CLI_RASTER");
  if (file == nullptr) GTEST_SKIP() << "run through CTest (cli_read_raster)";
  QrPrintSettings settings = Raster(kSampleDataText, "5", 1, 2);
  settings.centred = true;
  EXPECT_EQ(Hex(testing::ReadFileBytes(file)), Hex(TicketBytes(settings)));
}

}  // namespace
}  // namespace qrticket
