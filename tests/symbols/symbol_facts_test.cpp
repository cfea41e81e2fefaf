// The symbol facts against libqrencode itself: the last length each model and level hold and
// the first they do not, the versions chosen, the paper fit, every reason for no symbol, and
// what a reader shows, scanned back with zbar.
#include <gtest/gtest.h>
#include <qrencode.h>

#include <memory>

#include "devices/text_encoding.h"
#include "qr_scan.h"
#include "symbol_settings.h"
#include "symbols/qr_capacity.h"
#include "symbols/qr_encoder.h"
#include "symbols/qr_model1_capacity.h"
#include "symbols/symbol_facts.h"
#include "symbols/symbol_facts_text.h"
#include "ticket/ticket_defaults.h"

namespace qrticket {
namespace {

using testing::DrawGrid;
using testing::ReadAsIsoLatin1;
using testing::ScanQr;
using testing::Settings;

// Asked of libqrencode directly, not through the code under test: does a symbol of `model`
// (1 Model 2, 2 Micro QR) at `level` hold `length` bytes, and which version does it take?
int LibraryVersion(std::int16_t model, std::int16_t level, std::size_t length) {
  const Bytes data(length, 'x');
  const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
  const auto qrLevel = static_cast<QRecLevel>(level);
  if (model == 2) {
    for (int version = 1; version <= 4; ++version) {
      std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
          QRcode_encodeDataMQR(static_cast<int>(length), bytes, version, qrLevel), &QRcode_free);
      if (code && code->version == version) return version;
    }
    return 0;
  }
  std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
      QRcode_encodeData(static_cast<int>(length), bytes, 0, qrLevel), &QRcode_free);
  return code ? code->version : 0;
}

struct CapacityRow {
  const char* name;
  std::int16_t model;  // list position: 1 Model 2, 2 Micro QR
  std::int16_t level;
  int capacity;        // the byte-mode capacity the standard gives
};
void PrintTo(const CapacityRow& row, std::ostream* os) { *os << row.name; }

class CapacityEdges : public ::testing::TestWithParam<CapacityRow> {};

TEST_P(CapacityEdges, LastLengthThatFitsAndFirstThatDoesNot) {
  const CapacityRow& row = GetParam();
  const auto last = static_cast<std::size_t>(row.capacity);
  // libqrencode agrees with the standard's capacity...
  ASSERT_NE(LibraryVersion(row.model, row.level, last), 0);
  ASSERT_EQ(LibraryVersion(row.model, row.level, last + 1), 0);

  // ...and so do the facts: 1-dot modules, so that even version 40 fits the paper.
  const SymbolFacts fits = SymbolFactsFor(Settings(Bytes(last, 'x'), "1", row.model, row.level));
  EXPECT_TRUE(fits.hasSymbol()) << SymbolFactsReport(fits);
  EXPECT_EQ(fits.size.version, LibraryVersion(row.model, row.level, last));
  EXPECT_EQ(fits.capacity, row.capacity);
  EXPECT_TRUE(fits.printsOn80mm());
  EXPECT_EQ(CheckVerdict(fits), "");

  const SymbolFacts over =
      SymbolFactsFor(Settings(Bytes(last + 1, 'x'), "1", row.model, row.level));
  EXPECT_EQ(over.noSymbol, NoSymbol::kTooLong);
  EXPECT_EQ(over.capacity, row.capacity);
  EXPECT_FALSE(over.printsOn80mm());
  const std::string cap = "até " + std::to_string(row.capacity);
  EXPECT_NE(SymbolFactsLine(over).find("não cabe num\ncódigo QR"), std::string::npos);
  EXPECT_NE(SymbolFactsLine(over).find(cap), std::string::npos) << SymbolFactsLine(over);
  EXPECT_NE(CheckVerdict(over).find("não cabe num código QR"), std::string::npos);
  EXPECT_NE(CheckVerdict(over).find(cap + " bytes"), std::string::npos) << CheckVerdict(over);
}

INSTANTIATE_TEST_SUITE_P(
    Symbols, CapacityEdges,
    ::testing::Values(CapacityRow{"Model2L", 1, 0, 2953}, CapacityRow{"Model2M", 1, 1, 2331},
                      CapacityRow{"Model2Q", 1, 2, 1663}, CapacityRow{"Model2H", 1, 3, 1273},
                      CapacityRow{"MicroL", 2, 0, 15}, CapacityRow{"MicroM", 2, 1, 13},
                      CapacityRow{"MicroQ", 2, 2, 9}),
    [](const auto& info) { return std::string(info.param.name); });

struct VersionRow {
  const char* name;
  std::size_t length;
  std::int16_t model;
  std::int16_t level;
  int version;  // the smallest that holds the length, in the standard's tables
  int modules;
};
void PrintTo(const VersionRow& row, std::ostream* os) { *os << row.name; }

class VersionEdges : public ::testing::TestWithParam<VersionRow> {};

TEST_P(VersionEdges, SmallestVersionAsLibqrencodeChoosesIt) {
  const VersionRow& row = GetParam();
  const SymbolFacts f = SymbolFactsFor(Settings(Bytes(row.length, 'a'), "2", row.model, row.level));
  ASSERT_TRUE(f.hasSymbol()) << SymbolFactsReport(f);
  EXPECT_EQ(f.size.version, row.version);
  EXPECT_EQ(f.size.version, LibraryVersion(row.model, row.level, row.length));
  EXPECT_EQ(f.size.modules, row.modules);
  EXPECT_EQ(f.dots, row.modules * 2);
}

INSTANTIATE_TEST_SUITE_P(
    Symbols, VersionEdges,
    ::testing::Values(VersionRow{"V1LastM", 14, 1, 1, 1, 21}, VersionRow{"V2FirstM", 15, 1, 1, 2, 25},
                      VersionRow{"DefaultTextV8", 140, 1, 1, 8, 49},
                      VersionRow{"V8LastM", 152, 1, 1, 8, 49}, VersionRow{"V9FirstM", 153, 1, 1, 9, 53},
                      VersionRow{"V39LastH", 1219, 1, 3, 39, 173},
                      VersionRow{"V40FirstH", 1220, 1, 3, 40, 177},
                      VersionRow{"M3LastL", 9, 2, 0, 3, 15}, VersionRow{"M4FirstL", 10, 2, 0, 4, 17},
                      VersionRow{"MicroQOnlyM4", 1, 2, 2, 4, 17}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Model1Table, AgreesWithWhatIsPublished) {
  // Version 1 is the same symbol as Model 2's version 1.
  for (const QrEcLevel level : {QrEcLevel::L, QrEcLevel::M, QrEcLevel::Q, QrEcLevel::H})
    EXPECT_EQ(Model1ByteCapacity(level, 1), ByteCapacity(QrModel::Model2, level, 1));
  // 486 bytes at version 14, level L: the Model 1 maximum reader makers publish.
  EXPECT_EQ(Model1ByteCapacity(QrEcLevel::L, 14), 486);
  EXPECT_EQ(MaxByteCapacity(QrModel::Model1, QrEcLevel::L), 486);
  EXPECT_EQ(Model1ByteCapacity(QrEcLevel::L, 0), 0);
  EXPECT_EQ(Model1ByteCapacity(QrEcLevel::L, 15), 0);
  // More error correction never holds more; a larger version never holds less.
  for (int version = 1; version <= 14; ++version) {
    SCOPED_TRACE(version);
    EXPECT_GT(Model1ByteCapacity(QrEcLevel::L, version), Model1ByteCapacity(QrEcLevel::M, version));
    EXPECT_GT(Model1ByteCapacity(QrEcLevel::M, version), Model1ByteCapacity(QrEcLevel::Q, version));
    EXPECT_GT(Model1ByteCapacity(QrEcLevel::Q, version), Model1ByteCapacity(QrEcLevel::H, version));
    if (version > 1) {
      EXPECT_GT(Model1ByteCapacity(QrEcLevel::H, version),
                Model1ByteCapacity(QrEcLevel::H, version - 1));
    }
  }
}

TEST(Model1Table, FactsUseIt) {
  const int last = Model1ByteCapacity(QrEcLevel::M, 7);
  const SymbolFacts at7 = SymbolFactsFor(Settings(Bytes(last, 'a'), "6", 0, 1));
  EXPECT_EQ(at7.model, QrModel::Model1);
  EXPECT_EQ(at7.size.version, 7);
  EXPECT_EQ(at7.size.modules, 45);
  EXPECT_EQ(SymbolFactsFor(Settings(Bytes(last + 1, 'a'), "6", 0, 1)).size.version, 8);
  const SymbolFacts over = SymbolFactsFor(Settings(Bytes(487, 'a'), "6", 0, 0));
  EXPECT_EQ(over.noSymbol, NoSymbol::kTooLong);
  EXPECT_EQ(over.capacity, 486);
  EXPECT_NE(SymbolFactsReport(at7).find("ISO/IEC 18004:2000"), std::string::npos);
}

struct ReasonRow {
  const char* name;
  QrPrintSettings settings;
  NoSymbol expected;
  const char* lineHas;  // in the window's line
};
void PrintTo(const ReasonRow& row, std::ostream* os) { *os << row.name; }

class Reasons : public ::testing::TestWithParam<ReasonRow> {};

TEST_P(Reasons, NoSymbolAndWhy) {
  const ReasonRow& row = GetParam();
  const SymbolFacts f = SymbolFactsFor(row.settings);
  EXPECT_EQ(f.noSymbol, row.expected) << SymbolFactsReport(f);
  EXPECT_NE(SymbolFactsLine(f).find(row.lineHas), std::string::npos) << SymbolFactsLine(f);
  EXPECT_EQ(f.printsOn80mm(), row.expected == NoSymbol::kNone);
  if (row.expected != NoSymbol::kNone) {
    EXPECT_NE(CheckVerdict(f), "");
  }
}

const Bytes kSample = kSampleDataText;

INSTANTIATE_TEST_SUITE_P(
    Symbols, Reasons,
    ::testing::Values(
        ReasonRow{"Default", Settings(kSample), NoSymbol::kNone, "Versão 8\n49×49 módulos"},
        ReasonRow{"EmptyText", Settings(""), NoSymbol::kNoData, "Sem dados"},
        ReasonRow{"Size16", Settings("x", "16"), NoSymbol::kNone, "336 pontos"},
        ReasonRow{"SizeRounded", Settings("x", "16.5"), NoSymbol::kNone, "336 pontos"},
        ReasonRow{"SizeNotAByte", Settings(kSample, "300"), NoSymbol::kBuilderFailure,
                  "o talão imprime"},
        ReasonRow{"SizeNegative", Settings(kSample, "-1"), NoSymbol::kBuilderFailure,
                  "o talão imprime"},
        ReasonRow{"SizeOverflow", Settings(kSample, "40000"), NoSymbol::kModuleSizeOverflow,
                  "a impressão falha"},
        ReasonRow{"MicroHasNoLevelH", Settings("abc", "6", 2, 3), NoSymbol::kNoMicroLevelH,
                  "não\ntem nível H"},
        ReasonRow{"MicroTooLongForDefault", Settings(kSample, "6", 2, 1), NoSymbol::kTooLong,
                  "até 13"},
        ReasonRow{"TicketTooLong", Settings(Bytes(32765, 'x')), NoSymbol::kTicketTooLong,
                  "a impressão falha"},
        ReasonRow{"TicketLongestIsTooLongForQr", Settings(Bytes(32764, 'x')), NoSymbol::kTooLong,
                  "não cabe num"},
        // ESC Z sends fixed bytes: the size, model and level chosen do not matter.
        ReasonRow{"WoosimIgnoresChoices", Settings(kSample, "0", -1, -1, true), NoSymbol::kNone,
                  "ESC Z versão 7\n45×45 módulos\n270 pontos, 33,8 mm"},
        ReasonRow{"WoosimEmptyTextStillHasBytes", Settings("", "6", 1, 1, true), NoSymbol::kNone,
                  "ESC Z versão 1"}),
    [](const auto& info) { return std::string(info.param.name); });

struct IgnoredRow {
  const char* name;
  QrPrintSettings settings;
  bool model, size, level;  // which settings the printer ignores
  const char* lineHas;
  const char* reportHas;
};
void PrintTo(const IgnoredRow& row, std::ostream* os) { *os << row.name; }

class IgnoredSettings : public ::testing::TestWithParam<IgnoredRow> {};

// A setting out of its range is ignored: the one ESC @ left (Model 2, 3 dots, level L) draws.
TEST_P(IgnoredSettings, ThePrinterKeepsWhatEscAtLeft) {
  const IgnoredRow& row = GetParam();
  const SymbolFacts f = SymbolFactsFor(row.settings);
  ASSERT_TRUE(f.hasSymbol()) << SymbolFactsReport(f);
  EXPECT_EQ(f.modelIgnored, row.model);
  EXPECT_EQ(f.moduleSizeIgnored, row.size);
  EXPECT_EQ(f.levelIgnored, row.level);
  if (row.model) {
    EXPECT_EQ(f.model, QrModel::Model2);
  }
  if (row.size) {
    EXPECT_EQ(f.moduleSize, 3);
  }
  if (row.level) {
    EXPECT_EQ(f.level, QrEcLevel::L);
  }
  EXPECT_EQ(f.dots, f.size.modules * f.moduleSize);
  EXPECT_NE(SymbolFactsLine(f).find(row.lineHas), std::string::npos) << SymbolFactsLine(f);
  EXPECT_NE(SymbolFactsReport(f).find(row.reportHas), std::string::npos) << SymbolFactsReport(f);
}

INSTANTIATE_TEST_SUITE_P(
    Symbols, IgnoredSettings,
    ::testing::Values(
        IgnoredRow{"SizeZero", Settings(kSample, "0"), false, true, false,
                   "Tamanho 0 → 3\nVersão 8\n49×49 módulos\n147 pontos",
                   "Tamanho do módulo 0 fora de 1 a 16: a impressora ignora o comando e fica "
                   "com 3 pontos"},
        IgnoredRow{"SizeLetters", Settings(kSample, "abc"), false, true, false, "Tamanho 0 → 3",
                   "Tamanho do módulo 0"},
        IgnoredRow{"Size17", Settings(kSample, "17"), false, true, false, "Tamanho 17 → 3",
                   "Tamanho do módulo 17"},
        IgnoredRow{"NoModelChosen", Settings("x", "6", -1), true, false, false,
                   "Modelo 0x30 → 2\nVersão 1", "Modelo 0x30 (nenhum escolhido) fora de 0x31 a 0x33"},
        IgnoredRow{"ModelByteInvalid", Settings("x", "6", 5), true, false, false, "Modelo 0x36 → 2",
                   "fica com o Modelo 2"},
        // Level L instead of M: 140 bytes take version 7, not 8.
        IgnoredRow{"NoLevelChosen", Settings(kSample, "6", 1, -1), false, false, true,
                   "Nível 0x2F → L\nVersão 7", "Nível 0x2F (nenhum escolhido)"},
        IgnoredRow{"AllThree", Settings(kSample, "0", -1, -1), true, true, true,
                   "Modelo 0x30 → 2\nTamanho 0 → 3\nNível 0x2F → L\nVersão 7",
                   "Comando: GS ( k, Modelo 2, nível L, módulo de 3 pontos"}),
    [](const auto& info) { return std::string(info.param.name); });

struct PaperRow {
  const char* name;
  QrPrintSettings settings;
  int dots;
  bool fits80, fits58;
  const char* lineHas;
};
void PrintTo(const PaperRow& row, std::ostream* os) { *os << row.name; }

class PaperFit : public ::testing::TestWithParam<PaperRow> {};

TEST_P(PaperFit, WidthInDotsAndWhichPaperTakesIt) {
  const PaperRow& row = GetParam();
  const SymbolFacts f = SymbolFactsFor(row.settings);
  ASSERT_TRUE(f.hasSymbol());
  EXPECT_EQ(f.dots, row.dots);
  EXPECT_EQ(f.fits80mm, row.fits80);
  EXPECT_EQ(f.fits58mm, row.fits58);
  EXPECT_NE(SymbolFactsLine(f).find(row.lineHas), std::string::npos) << SymbolFactsLine(f);
  EXPECT_EQ(CheckVerdict(f).empty(), row.fits80) << CheckVerdict(f);
}

INSTANTIATE_TEST_SUITE_P(
    Symbols, PaperFit,
    ::testing::Values(
        PaperRow{"Default", Settings(kSample), 294, true, true, "294 pontos, 36,8 mm\ncabe em 80 e 58 mm"},
        PaperRow{"Widest58", Settings(kSample, "7"), 343, true, true, "cabe em 80 e 58 mm"},
        PaperRow{"Only80", Settings(kSample, "8"), 392, true, false, "só cabe em 80 mm"},
        PaperRow{"Widest80", Settings(kSample, "11"), 539, true, false, "67,4 mm"},
        PaperRow{"Neither", Settings(kSample, "12"), 588, false, false, "não cabe em 80 mm"},
        // ESC Z draws 6-dot modules: with its three extra bytes, 789 text bytes are version 19
        // (558 dots) and 790 are version 20 (582 dots).
        PaperRow{"WoosimWidest80", Settings(Bytes(789, 'x'), "1", 1, 1, true), 558, true, false,
                 "ESC Z versão 19"},
        PaperRow{"WoosimPast80", Settings(Bytes(790, 'x'), "1", 1, 1, true), 582, false, false,
                 "ESC Z versão 20"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WoosimFacts, TheSymbolHoldsTheThreeBytesAfterTheText) {
  const SymbolFacts f = SymbolFactsFor(Settings("abc", "9", 0, 3, true));
  EXPECT_EQ(f.data, Bytes("abc\r\nS"));
  EXPECT_EQ(f.level, QrEcLevel::L);
  EXPECT_EQ(f.moduleSize, 6);
  EXPECT_EQ(f.levelByte, 0x0F);
  EXPECT_EQ(f.capacity, 2953);
  // The last text that fits: the symbol's capacity less those three bytes.
  EXPECT_TRUE(SymbolFactsFor(Settings(Bytes(2950, 'x'), "6", 1, 1, true)).hasSymbol());
  EXPECT_EQ(SymbolFactsFor(Settings(Bytes(2951, 'x'), "6", 1, 1, true)).noSymbol,
            NoSymbol::kTooLong);
}

struct ReaderRow {
  const char* name;
  const char* typed;          // UTF-8, sent in Windows-1252
  const char* misread;        // characters a reader shows as something else
};
void PrintTo(const ReaderRow& row, std::ostream* os) { *os << row.name; }

class ReaderText : public ::testing::TestWithParam<ReaderRow> {};

// The facts' reader text is what zbar returns from the drawn symbol, read as ISO-8859-1.
TEST_P(ReaderText, IsTheIsoLatin1ReadingOfWhatZbarDecodes) {
  const ReaderRow& row = GetParam();
  const Bytes sent = *Utf8ToCp1252(row.typed);
  const SymbolFacts f = SymbolFactsFor(Settings(sent));
  EXPECT_EQ(f.misreadCharacters, row.misread);

  const auto grid = EncodeQr(f.data, QrModel::Model2, QrEcLevel::M);
  ASSERT_TRUE(grid);
  const std::vector<Bytes> decoded = ScanQr(DrawGrid(*grid, 4));
  ASSERT_EQ(decoded.size(), 1u);
  EXPECT_EQ(decoded[0], sent);
  EXPECT_EQ(f.readerText, ReadAsIsoLatin1(decoded[0]));
  if (*row.misread != '\0') {
    EXPECT_NE(f.readerText, row.typed);
    EXPECT_NE(SymbolFactsLine(f).find(std::string("Leitor troca")), std::string::npos);
  } else {
    EXPECT_EQ(f.readerText, row.typed);
    EXPECT_EQ(SymbolFactsLine(f).find("Leitor"), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Symbols, ReaderText,
    ::testing::Values(ReaderRow{"EuroQuotesDash", "€ “x” – ç", "€“”–"},
                      ReaderRow{"EachOnce", "€€ – €", "€–"},
                      ReaderRow{"AccentsReadTheSame", "Olá, açúcar, pão ñ ü ß", ""},
                      ReaderRow{"Ascii", "A:123*B:999", ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket
