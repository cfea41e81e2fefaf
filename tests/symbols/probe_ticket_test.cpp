// The limits ticket: which lengths it tries for each model, level, size and paper, the bytes
// it is made of, its raster symbol scanned back with zbar, and the job that prints it.
#include <gtest/gtest.h>

#include <algorithm>

#include "devices/failure.h"
#include "devices/text_encoding.h"
#include "qr_scan.h"
#include "recording_reporter.h"
#include "symbols/probe_job.h"
#include "symbols/probe_ticket.h"
#include "temp_dir.h"
#include "ticket/qr_commands.h"

namespace qrticket {
namespace {

using testing::Hex;
using testing::ReadFileBytes;
using testing::RecordingReporter;
using testing::ScanQr;
using testing::TempDir;

QrPrintSettings Settings(const char* size, std::int16_t model, std::int16_t level,
                         bool woosim = false) {
  QrPrintSettings s;
  s.dataText = "not used by the limits ticket";
  s.moduleSizeText = size;
  s.modelIndex = model;
  s.errorLevelIndex = level;
  s.woosimDialect = woosim;
  return s;
}

TEST(ProbeData, SaysItsLengthThenLowerCaseLetters) {
  EXPECT_EQ(ProbeData(16), "0016:abcdefghijk");
  EXPECT_EQ(ProbeData(40), "0040:abcdefghijklmnopqrstuvwxyzabcdefghi");
  EXPECT_EQ(ProbeData(2953).size(), 2953u);
  EXPECT_EQ(ProbeData(2953).substr(0, 5), "2953:");
  EXPECT_EQ(ProbeData(3), "000");
}

struct PlanRow {
  const char* name;
  QrPrintSettings settings;
  int paperDots;
  std::vector<std::size_t> lengths;  // of the data each symbol holds
  int widestDots;                    // of the last symbol
};
void PrintTo(const PlanRow& row, std::ostream* os) { *os << row.name; }

class ProbePlans : public ::testing::TestWithParam<PlanRow> {};

TEST_P(ProbePlans, KnownLimitsUpToTheCapacityAndThePaper) {
  const PlanRow& row = GetParam();
  const ProbePlan plan = PlanProbe(row.settings, row.paperDots);
  std::vector<std::size_t> lengths;
  for (const ProbeSymbol& s : plan.symbols) lengths.push_back(s.encoded.size());
  EXPECT_EQ(lengths, row.lengths);
  ASSERT_FALSE(plan.symbols.empty());
  EXPECT_EQ(plan.symbols.back().dots, row.widestDots);
  for (const ProbeSymbol& s : plan.symbols) {
    EXPECT_LE(s.dots, row.paperDots);
    // Every symbol's data starts with the length the label gives.
    EXPECT_EQ(s.encoded.substr(0, 4), ProbeData(s.encoded.size()).substr(0, 4));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Probe, ProbePlans,
    ::testing::Values(
        // 6-dot modules on 80 mm: version 19 (93 modules) is the widest, 624 bytes at level M.
        PlanRow{"Model2M80mm", Settings("6", 1, 1), 576,
                {16, 32, 64, 128, 252, 253, 255, 256, 300, 500, 624}, 558},
        // On 58 mm: version 11 (61 modules), 251 bytes at level M.
        PlanRow{"Model2M58mm", Settings("6", 1, 1), 384, {16, 32, 64, 128, 251}, 366},
        // 3-dot modules fit version 40: the level's capacity is the limit.
        PlanRow{"Model2HCapacity", Settings("3", 1, 3), 576,
                {16, 32, 64, 128, 252, 253, 255, 256, 300, 500, 1000, 1273}, 531},
        PlanRow{"Model2LCapacity", Settings("3", 1, 0), 576,
                {16, 32, 64, 128, 252, 253, 255, 256, 300, 500, 1000, 2000, 2953}, 531},
        PlanRow{"MicroM", Settings("6", 2, 1), 576, {13}, 102},
        PlanRow{"MicroQ", Settings("6", 2, 2), 384, {9}, 102},
        // Model 1 ends at version 14 (73 modules), 365 bytes at level M.
        PlanRow{"Model1M", Settings("6", 0, 1), 576, {16, 32, 64, 128, 252, 253, 255, 256, 300, 365}, 438},
        // ESC Z: 6-dot modules and level L whatever is chosen; each symbol holds 3 bytes more.
        PlanRow{"Woosim58mm", Settings("1", -1, -1, true), 384,
                {16, 32, 64, 128, 252, 253, 255, 256, 300, 321}, 366}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProbeBytes, LabelsThenTheDialectsOwnBlocksInOrder) {
  const QrPrintSettings settings = Settings("6", 1, 1);
  const Bytes ticket = ProbeTicketBytes(settings, 576);
  EXPECT_EQ(ticket, ProbeTicketBytes(settings, 576));  // deterministic
  EXPECT_EQ(ticket.rfind("\x1B@\n** Teste de limites do QR CODE **\r\n", 0), 0u);
  Bytes feeds;
  for (int i = 0; i < 6; ++i) feeds += "\n\r\n";
  EXPECT_EQ(ticket.substr(ticket.size() - feeds.size()), feeds);

  const ProbePlan plan = PlanProbe(settings, 576);
  std::size_t at = 0;
  for (const ProbeSymbol& symbol : plan.symbols) {
    SCOPED_TRACE(symbol.encoded.size());
    const std::string label = std::to_string(symbol.encoded.size()) + " bytes: versão " +
                              std::to_string(symbol.size.version) + "\r\n" +
                              std::to_string(symbol.size.modules) + " × " +
                              std::to_string(symbol.size.modules) + " módulos, " +
                              std::to_string(symbol.dots) + " pontos";
    const std::size_t labelAt = ticket.find(*Utf8ToCp1252(label), at);
    ASSERT_NE(labelAt, Bytes::npos) << label;
    const Bytes block = QrCommandsStandard(symbol.sent, 6, 1, 1);
    const std::size_t blockAt = ticket.find(block + "\r\n", labelAt);
    ASSERT_NE(blockAt, Bytes::npos);
    at = blockAt + block.size();
  }
  // Then the raster one: GS v 0, m 0, width in bytes and height in dots, low byte first.
  ASSERT_TRUE(plan.raster);
  const int dots = plan.raster->modules * 6;
  const Bytes header = Bytes("\x1D\x76\x30\x00", 4) + static_cast<char>((dots + 7) / 8) +
                       '\0' + static_cast<char>(dots % 256) + static_cast<char>(dots / 256);
  const std::size_t rasterAt = ticket.find(header, at);
  ASSERT_NE(rasterAt, Bytes::npos) << Hex(header);
  EXPECT_NE(ticket.find(*Utf8ToCp1252("com os mesmos 624 bytes: Modelo 2, versão 19")), Bytes::npos);
}

// Every text line fits the paper's 48 or 32 columns (font A), broken only between words: a
// number and its unit ("(18,8 mm)"), a word ("código") stay on one line.
TEST(ProbeBytes, TextLinesFitThePaperWithoutBreakingWords) {
  const struct {
    const char* name;
    QrPrintSettings settings;
  } rows[] = {
      {"Model 2, level M, 16 dots", Settings("16", 1, 1)},
      {"Model 1, level H, 3 dots", Settings("3", 0, 3)},
      {"Micro QR, level L, 8 dots", Settings("8", 2, 0)},
      {"woosim", Settings("6", 1, 1, true)},
  };
  for (const auto& row : rows) {
    for (const int paper : {384, 576}) {
      SCOPED_TRACE(std::string(row.name) + ", " + std::to_string(paper) + " dots");
      const std::size_t columns = paper / 12;
      int textLines = 0;
      for (const PrintStatement& statement : ProbeStatements(row.settings, paper)) {
        Bytes line = FormatStatement(statement);
        line.resize(line.size() - 2);  // CR LF
        while (!line.empty() && line.back() == '\n') line.pop_back();
        if (line.rfind("\x1B@", 0) == 0) line.erase(0, line.find('\n') + 1);  // the header
        if (line.empty() || std::any_of(line.begin(), line.end(), [](char c) {
              return static_cast<unsigned char>(c) < 0x20;
            }))
          continue;  // a QR or image command, or a feed
        ++textLines;
        EXPECT_LE(line.size(), columns) << line;
        if (const auto command = line.find("GS ( k"); command != Bytes::npos)
          line.erase(command, 6);  // the command's name, not a group
        EXPECT_EQ(std::count(line.begin(), line.end(), '('),
                  std::count(line.begin(), line.end(), ')'))
            << "a group broken across lines: " << line;
      }
      EXPECT_GT(textLines, 5);
    }
  }
}

TEST(ProbeBytes, WoosimBlocksAreTheTicketsOwn) {
  const QrPrintSettings settings = Settings("6", 1, 1, true);
  const Bytes ticket = ProbeTicketBytes(settings, 576);
  const ProbePlan plan = PlanProbe(settings, 576);
  for (const ProbeSymbol& symbol : plan.symbols) {
    // ESC Z's length counts 3 more than the data; the statement's CR LF and the spacer's LF
    // follow, and are what the printer takes into the symbol.
    const Bytes block = QrCommandsWoosim(symbol.sent, 6, 1, 1);
    EXPECT_NE(ticket.find(block + "\r\n\n\r\n"), Bytes::npos) << symbol.sent.size();
    EXPECT_EQ(symbol.encoded, symbol.sent + "\r\n\n");
  }
}

// The raster command read back into a picture, as a printer prints GS v 0.
testing::GreyPicture RasterPicture(const Bytes& ticket, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(ticket[at + i]); };
  const int rowBytes = byte(4) + 256 * byte(5);
  const int rows = byte(6) + 256 * byte(7);
  testing::GreyPicture picture;
  constexpr int kBorder = 40;
  picture.width = rowBytes * 8 + 2 * kBorder;
  picture.height = rows + 2 * kBorder;
  picture.pixels.assign(static_cast<std::size_t>(picture.width) * picture.height, 255);
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < rowBytes * 8; ++x) {
      if (byte(8 + static_cast<std::size_t>(y) * rowBytes + x / 8) & (0x80 >> (x % 8)))
        picture.pixels[static_cast<std::size_t>(y + kBorder) * picture.width + x + kBorder] = 0;
    }
  }
  return picture;
}

struct RasterRow {
  const char* name;
  QrPrintSettings settings;
  int paperDots;
};
void PrintTo(const RasterRow& row, std::ostream* os) { *os << row.name; }

class ProbeRaster : public ::testing::TestWithParam<RasterRow> {};

TEST_P(ProbeRaster, DecodesToTheLongestSymbolsData) {
  const RasterRow& row = GetParam();
  const Bytes ticket = ProbeTicketBytes(row.settings, row.paperDots);
  const ProbePlan plan = PlanProbe(row.settings, row.paperDots);
  const std::size_t at = ticket.find(Bytes("\x1D\x76\x30\x00", 4));
  ASSERT_NE(at, Bytes::npos);
  const std::vector<Bytes> decoded = ScanQr(RasterPicture(ticket, at));
  ASSERT_EQ(decoded.size(), 1u);
  EXPECT_EQ(decoded[0], plan.symbols.back().encoded);
}

INSTANTIATE_TEST_SUITE_P(
    Probe, ProbeRaster,
    ::testing::Values(RasterRow{"Model2M", Settings("6", 1, 1), 576},
                      RasterRow{"Model2HNarrowModules", Settings("3", 1, 3), 576},
                      RasterRow{"Model1DrawnAsModel2", Settings("6", 0, 1), 576},
                      RasterRow{"Woosim58mm", Settings("6", 1, 1, true), 384}),
    [](const auto& info) { return std::string(info.param.name); });

// The raster image is Model 2 (or Micro) whatever the model: it must fit the paper as the
// printer's own symbols do, and the longest length must fit both. Every model, level, module
// size and paper.
TEST(ProbeRaster, FitsThePaperInEveryCombination) {
  int plans = 0;
  for (const int paper : {576, 384}) {
    for (std::int16_t model = 0; model <= 2; ++model) {
      for (std::int16_t level = 0; level <= 3; ++level) {
        for (int size = 1; size <= 16; ++size) {
          const std::string text = std::to_string(size);
          ProbePlan plan;
          try {
            plan = PlanProbe(Settings(text.c_str(), model, level), paper);
          } catch (const PrintFailure&) {
            continue;  // no symbol for these settings (Micro QR at H, too wide)
          }
          ++plans;
          ASSERT_TRUE(plan.raster) << "model " << model << " level " << level << " size " << size;
          EXPECT_LE(plan.raster->modules * size, paper)
              << "model " << model << " level " << level << " size " << size << " paper "
              << paper << ": " << plan.raster->modules << " modules";
          EXPECT_LE(plan.symbols.back().dots, paper);
        }
      }
    }
  }
  EXPECT_GT(plans, 300);
}

TEST(ProbeJob, WritesTheTicketToTheDevice) {
  TempDir dir;
  QrPrintSettings settings = Settings("6", 1, 1);
  settings.deviceName = dir.File("probe.bin");
  RecordingReporter reporter;
  PrintProbe(settings, 576, reporter);
  EXPECT_TRUE(reporter.messages.empty());
  EXPECT_EQ(ReadFileBytes(settings.deviceName), ProbeTicketBytes(settings, 576));
}

struct ImpossibleRow {
  const char* name;
  QrPrintSettings settings;
  const char* says;
};
void PrintTo(const ImpossibleRow& row, std::ostream* os) { *os << row.name; }

class ProbeImpossible : public ::testing::TestWithParam<ImpossibleRow> {};

TEST_P(ProbeImpossible, FailsBeforeTheDeviceIsOpened) {
  const ImpossibleRow& row = GetParam();
  EXPECT_THROW(PlanProbe(row.settings, 576), PrintFailure);
  TempDir dir;
  QrPrintSettings settings = row.settings;
  settings.deviceName = dir.File("probe.bin");
  RecordingReporter reporter;
  PrintProbe(settings, 576, reporter);
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(reporter.messages[0].rfind(
                "Falha na impressão:O talão de limites não se imprime com estes parâmetros: ", 0),
            0u)
      << reporter.messages[0];
  EXPECT_NE(reporter.messages[0].find(row.says), std::string::npos) << reporter.messages[0];
  EXPECT_FALSE(std::filesystem::exists(settings.deviceName));
}

INSTANTIATE_TEST_SUITE_P(
    Probe, ProbeImpossible,
    ::testing::Values(ImpossibleRow{"SizeZero", Settings("0", 1, 1),
                                    "parâmetros: tamanho do módulo 0 fora de 1 a 16"},
                      ImpossibleRow{"SizeNotAByte", Settings("300", 1, 1), "300"},
                      ImpossibleRow{"NoModelNorLevel", Settings("6", -1, -1),
                                    "parâmetros: modelo 0x30 (nenhum escolhido) fora de 0x31 a "
                                    "0x33: a impressora ignora o comando e fica com o Modelo 2, o "
                                    "de depois de ESC @; Nível 0x2F"},
                      ImpossibleRow{"MicroLevelH", Settings("6", 2, 3), "nível H"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket

namespace qrticket {
namespace {

// Reads back the limits ticket that the command-line test "cli_write_probe" wrote.
TEST(CliProbeFile, HoldsTheLimitsTicketAskedFor) {
  const char* path = std::getenv("QRTICKET_CLI_PROBE");
  if (path == nullptr) GTEST_SKIP() << "runs after cli_write_probe";
  QrPrintSettings settings;
  settings.moduleSizeText = "5";
  settings.modelIndex = 1;
  settings.errorLevelIndex = 2;
  settings.centred = true;
  EXPECT_EQ(testing::ReadFileBytes(path), ProbeTicketBytes(settings, 384));
}

}  // namespace
}  // namespace qrticket
