// Text as the printer lays it out: code tables (ESC t), positions (ESC $, ESC \, HT and
// ESC D), character spacing (ESC SP), print area (GS L, GS W, GS P), upside down (ESC {),
// reverse (GS B), Kanji mode (FS &), and the same stream fed in pieces drawing the same paper.
#include <gtest/gtest.h>

#include "devices/code_tables.h"
#include "render_ticket.h"
#include "test_bitmap.h"
#include "ticket_bytes.h"
#include "viewer_test_support.h"

namespace qrticket::viewer {
namespace {

using namespace std::string_literals;
using testing::InkBox;
using testing::ReportHas;
using testing::ReportText;

struct TableRow {
  int table;
  unsigned char byte;
  char32_t character;
};

// A few characters per table, from the code pages' published charts (which Python's codecs
// follow); the generator's check compares every byte of every table with the codecs.
TEST(CodeTables, KnownCharacters) {
  const TableRow rows[] = {
      {0, 0x82, U'é'},  {0, 0x87, U'ç'},  {0, 0xA0, U'á'},  {0, 0xA3, U'ú'}, {0, 0xC4, U'─'},
      {2, 0xC6, U'ã'},  {2, 0xE4, U'õ'},  {2, 0xC7, U'Ã'},  {3, 0x84, U'ã'}, {3, 0x94, U'õ'},
      {3, 0x8E, U'Ã'},  {3, 0x99, U'Õ'},  {4, 0x85, U'à'},  {4, 0x8E, U'À'}, {5, 0x9B, U'ø'},
      {5, 0x9D, U'Ø'},  {16, 0xE9, U'é'}, {16, 0x80, U'€'}, {16, 0x81, 0},   {18, 0xA5, U'ą'},
      {18, 0x9F, U'č'}, {18, 0x8B, U'ő'}, {19, 0xD5, U'€'}, {19, 0xC6, U'ã'}, {17, 0x86, U'Ж'},
      {0, 0x41, U'A'},  {19, 0x7E, U'~'},
  };
  for (const TableRow& row : rows) {
    const CodeTableInfo* table = FindCodeTable(row.table);
    ASSERT_NE(table, nullptr) << row.table;
    EXPECT_EQ(CharacterOf(*table, row.byte), row.character)
        << table->name << " byte " << int(row.byte);
  }
  EXPECT_EQ(FindCodeTable(1), nullptr);  // Katakana: not drawn
  EXPECT_EQ(FindCodeTable(255), nullptr);
}

struct SameGlyphsRow {
  const char* name;
  Bytes selectAndText;  // ESC t n and the text in that table
};
void PrintTo(const SameGlyphsRow& row, std::ostream* out) { *out << row.name; }
class CodeTableText : public ::testing::TestWithParam<SameGlyphsRow> {};

// The printer started at WPC1252, as a printer set to it by its memory switches.
RenderedTicket AtWindows1252(const Bytes& stream) {
  RenderOptions options;
  options.codeTable = kWindows1252CodeTable;
  return RenderTicket(stream, options);
}

// "Olá, açúcar, pão é São" in each table draws the very pixels of the same text in WPC1252.
TEST_P(CodeTableText, DrawsTheSameGlyphsAsWindows1252) {
  const Bytes cp1252 = "Ol\xe1, a\xe7\xfa" "car, p\xe3o \xe9 S\xe3o\n"s;
  const RenderedTicket expected = AtWindows1252(cp1252);
  const RenderedTicket got = RenderTicket(GetParam().selectAndText);
  EXPECT_EQ(got.pixels, expected.pixels) << ReportText(got);
  EXPECT_GT(testing::InkCount(got), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, CodeTableText,
    ::testing::Values(
        SameGlyphsRow{"Windows1252Explicit", "\x1bt\x10" "Ol\xe1, a\xe7\xfa" "car, p\xe3o \xe9 S\xe3o\n"s},
        SameGlyphsRow{"PC860", "\x1bt\x03" "Ol\xa0, a\x87\xa3" "car, p\x84o \x82 S\x84o\n"s},
        SameGlyphsRow{"PC850", "\x1bt\x02" "Ol\xa0, a\x87\xa3" "car, p\xc6o \x82 S\xc6o\n"s},
        SameGlyphsRow{"PC858", "\x1bt\x13" "Ol\xa0, a\x87\xa3" "car, p\xc6o \x82 S\xc6o\n"s},
        SameGlyphsRow{"ISO8859_15", "\x1bt\x28" "Ol\xe1, a\xe7\xfa" "car, p\xe3o \xe9 S\xe3o\n"s},
        // PC437 has no ã: the 'ã' bytes of PC860 print other letters there.
        SameGlyphsRow{"PC437BackToWindows1252",
                      "\x1bt\x00" "Ol\xa0, a\x87\xa3" "car, p\x1bt\x10\xe3o \xe9 S\xe3o\n"s}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CodeTableText, Pc437IsNotWindows1252) {
  // The same byte, 0xE9, is 'é' in WPC1252 and 'Θ' in PC437.
  EXPECT_NE(RenderTicket("\x1bt\x00\xe9\n"s).pixels, RenderTicket("\x1bt\x10\xe9\n"s).pixels);
  // ... and Θ is 0xC8 in WPC1253: the same character, the same glyph.
  EXPECT_EQ(RenderTicket("\x1bt\x00\xe9\n"s).pixels, RenderTicket("\x1bt\x2f\xc8\n"s).pixels);
}

// Without ESC t the printer is at its factory table, PC437: our own ticket, which selects no
// table, draws as it does after ESC t 0, and not as in WPC1252.
TEST(CodeTableText, WithoutEscTThePrinterIsAtPc437) {
  const Bytes ticket = qrticket::testing::TicketBytes(testing::TicketSettings("Ol\xe1 1"));
  ASSERT_EQ(ticket.substr(0, 2), "\x1b@");
  const Bytes withEscT0 = "\x1b@\x1bt\x00"s + ticket.substr(2);
  EXPECT_EQ(RenderTicket(ticket).pixels, RenderTicket(withEscT0).pixels);
  EXPECT_NE(RenderTicket(ticket).pixels, AtWindows1252(ticket).pixels);
  // Told to start elsewhere, the virtual printer draws as that table.
  EXPECT_EQ(AtWindows1252(ticket).pixels, RenderTicket("\x1b@\x1bt\x10"s + ticket.substr(2)).pixels);
}

struct MismatchRow {
  const char* name;
  Bytes stream;
  int startTable;
  const char* line;  // the report's first line; "" when no character prints otherwise
};
void PrintTo(const MismatchRow& row, std::ostream* out) { *out << row.name; }
class CodeTableReport : public ::testing::TestWithParam<MismatchRow> {};

TEST_P(CodeTableReport, NamesTheCharactersThatPrintOtherwise) {
  RenderOptions options;
  options.codeTable = GetParam().startTable;
  const RenderedTicket t = RenderTicket(GetParam().stream, options);
  const std::string first = t.report.empty() ? "" : t.report.front();
  if (*GetParam().line == '\0') {
    EXPECT_EQ(first.rfind("tabela ", 0), std::string::npos) << ReportText(t);
  } else {
    EXPECT_EQ(first, GetParam().line) << ReportText(t);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Streams, CodeTableReport,
    ::testing::Values(
        // "INFORMAÇÃO" and "Página" in Windows-1252, each character named once.
        MismatchRow{"FactoryTable", "INFORMA\xc7\xc3O P\xe1gina \xe1\n"s, 0,
                    "tabela PC437 (a de fábrica, sem ESC t): Ç sai como ╟, Ã como ├, á como ß"},
        // After ESC t the text is in the table the sender chose.
        MismatchRow{"ChosenByEscT", "\x1bt\x03\xe3\x80\n"s, 0, ""},
        MismatchRow{"StartedElsewhere", "\xe3\n"s, 3, "tabela PC860 (a inicial, sem ESC t): ã sai como π"},
        // ISO-8859-15 prints nothing for 0x80..0x9F.
        MismatchRow{"PrintsNothing", "\x80\xe1\n"s, 40, "tabela ISO8859-15 (a inicial, sem ESC t): € sai em branco"},
        MismatchRow{"Windows1252PrintsAsWritten", "\xe1\xe3\x80\n"s, 16, ""},
        MismatchRow{"AsciiOnly", "Pagina\n"s, 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Text after ESC @ is at the start table again, and is noted.
TEST(CodeTableReport, InitialiseReturnsToTheStartTable) {
  const RenderedTicket t = RenderTicket("\x1bt\x03\xe3\x1b@\xe1\x1bt\x00\xe3\n"s);
  ASSERT_FALSE(t.report.empty());
  EXPECT_EQ(t.report[0], "tabela PC437 (a de fábrica, sem ESC t): á sai como ß") << ReportText(t);
  EXPECT_EQ(ReportText(t).find("tabela", 1), std::string::npos) << ReportText(t);
}

TEST(CodeTableText, UnknownTableKeepsTheOneBeforeAndInitialiseRestoresTheStartTable) {
  const RenderedTicket t = RenderTicket("\x1bt\x03\x1bt\x01\x84\n"s);
  EXPECT_EQ(t.pixels, AtWindows1252("\xe3\n"s).pixels);  // still PC860: 0x84 is 'ã'
  EXPECT_TRUE(ReportHas(t, "byte 3: ESC t 1: tabela de caracteres não desenhada aqui, mantém-se PC860"))
      << ReportText(t);
  EXPECT_EQ(RenderTicket("\x1bt\x03\x1b@\xe3\n"s).pixels, RenderTicket("\x1bt\x00\xe3\n"s).pixels);
  EXPECT_EQ(AtWindows1252("\x1bt\x03\x1b@\xe3\n"s).pixels, AtWindows1252("\xe3\n"s).pixels);
}

// The left edge of the ink in columns [from, to) of the first line, or -1.
int FirstInk(const RenderedTicket& t, int from, int to) {
  for (int x = from; x < to && x < t.width; ++x) {
    for (int y = 0; y < 24 && y < t.height; ++y) {
      if (t.pixels[static_cast<std::size_t>(y) * t.width + x] < 128) return x;
    }
  }
  return -1;
}

// Where "|" (a character whose ink is one column in the middle of its cell) lands.
int BarAt(const Bytes& stream) {
  const RenderedTicket t = RenderTicket(stream);
  return FirstInk(t, 0, t.width);
}

struct PositionRow {
  const char* name;
  Bytes stream;  // ends in "|\n": where does the bar land?
  int offset;    // its cell's left edge
};
void PrintTo(const PositionRow& row, std::ostream* out) { *out << row.name; }
class Positions : public ::testing::TestWithParam<PositionRow> {};

TEST_P(Positions, PutTheNextCharacterThere) {
  const int barInCell = BarAt("|\n");
  ASSERT_GE(barInCell, 0);
  EXPECT_EQ(BarAt(GetParam().stream) - barInCell, GetParam().offset);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, Positions,
    ::testing::Values(
        PositionRow{"Absolute", "\x1b$\x2c\x01|\n"s, 300},
        PositionRow{"AbsoluteOutsideTheAreaIgnored", "\x1b$\x00\x10|\n"s, 0},
        PositionRow{"RelativeForward", "\x1b\\\x64\x00|\n"s, 100},
        PositionRow{"RelativeBack", "\x1b$\x64\x00\x1b\\\xf6\xff|\n"s, 90},
        PositionRow{"RelativeBeforeTheStartIgnored", "\x1b\\\xf6\xff|\n"s, 0},
        PositionRow{"CharacterSpacing", "\x1b \x06  |\n"s, 2 * 18},
        PositionRow{"CharacterSpacingDoubleWidth", "\x1b \x06\x1d!\x10 \x1d!\x00|\n"s, 24 + 12},
        PositionRow{"Tab", "\t|\n"s, 96},
        PositionRow{"TabStopsSet", "\x1b" "D\x03\x0a\x00\t\t|\n"s, 120},
        PositionRow{"LeftMargin", "\x1dL\x64\x00|\n"s, 100},
        PositionRow{"MotionUnits", "\x1dP\xb4\xb4\x1b$\xb4\x00|\n"s, 203},
        PositionRow{"MarginAndCentreInTheArea",
                    "\x1dL\x64\x00\x1dW\xc8\x00\x1b" "a1|\n"s, 100 + (200 - 12) / 2},
        PositionRow{"MarginMidLineIgnored", " \x1dL\x64\x00|\n"s, 12}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PrintArea, NarrowWidthWrapsTheLine) {
  // GS W 120: ten 12-dot characters a line; the eleventh starts the next line.
  EXPECT_EQ(RenderTicket("\x1dW\x78\x00"s + Bytes(10, 'x') + "\n").height, 30);
  EXPECT_EQ(RenderTicket("\x1dW\x78\x00"s + Bytes(11, 'x') + "\n").height, 60);
  // And a raster image wider than the area is cut at the area's edge.
  const RenderedTicket t = RenderTicket("\x1dW\x10\x00\x1dv0\x00\x04\x00\x01\x00\xff\xff\xff\xff"s);
  EXPECT_EQ(InkBox(t).right, 15);
}

TEST(UpsideDown, TurnsTheLineHalfACircle) {
  const RenderedTicket upright = RenderTicket("Ab\n");
  const RenderedTicket turned = RenderTicket("\x1b{\x01" "Ab\n"s);
  ASSERT_EQ(upright.height, turned.height);
  // Turned over the print area (576 dots) and the line's 24 rows.
  for (int y = 0; y < 24; ++y) {
    for (int x = 0; x < 576; ++x) {
      const bool a = upright.pixels[static_cast<std::size_t>(y) * 576 + x] < 128;
      const bool b = turned.pixels[static_cast<std::size_t>(23 - y) * 576 + 575 - x] < 128;
      ASSERT_EQ(a, b) << x << "," << y;
    }
  }
  // It takes effect at the beginning of a line only.
  EXPECT_EQ(RenderTicket("A\x1b{\x01" "b\n"s).pixels, RenderTicket("Ab\n").pixels);
}

TEST(Reverse, PrintsWhiteOnBlack) {
  const RenderedTicket t = RenderTicket("\x1d" "B\x01" "H\x1d" "B\x00" "H\n"s);
  // The first cell is black where the letter is not; the second is ordinary.
  const testing::TestBitmap first = testing::ReadBack(t, 0, 0, 12, 24);
  const testing::TestBitmap plain = testing::ReadBack(RenderTicket("H\n"), 0, 0, 12, 24);
  for (std::size_t i = 0; i < first.dots.size(); ++i) EXPECT_NE(first.dots[i], plain.dots[i]) << i;
  EXPECT_EQ(testing::ReadBack(t, 12, 0, 12, 24).dots, plain.dots);
}

TEST(KanjiMode, IsReportedAndTextStaysSingleByte) {
  const RenderedTicket t = RenderTicket("\x1c&ab\x1c.\n"s);
  EXPECT_EQ(t.pixels, RenderTicket("ab\n").pixels);
  EXPECT_TRUE(ReportHas(t, "byte 0: FS & (modo Kanji): não desenhado")) << ReportText(t);
}

// A stream fed in pieces of any size draws the same paper and says the same as fed whole.
TEST(Streaming, PiecesDrawTheSamePaper) {
  QrPrintSettings settings = testing::TicketSettings("streaming test, ção");
  settings.pageMode = true;
  const Bytes ticket = qrticket::testing::TicketBytes(settings) + "\x1dk\x49\x05{BABC" +
                       "\x1dv0\x00\x02\x00\x03\x00\xf0\x0f\xff\x00\xaa\x55"s + "\x1b*\x21\x02\x00" +
                       Bytes(6, '\x7e') + "\n";
  const RenderedTicket whole = RenderTicket(ticket);
  for (const std::size_t piece : {1u, 2u, 7u, 64u, 4096u}) {
    TicketRenderer renderer;
    for (std::size_t at = 0; at < ticket.size(); at += piece) {
      renderer.Feed(BytesView(ticket).substr(at, piece));
    }
    const RenderedTicket pieces = renderer.Finish();
    EXPECT_EQ(pieces.pixels, whole.pixels) << "pieces of " << piece;
    EXPECT_EQ(pieces.report, whole.report) << "pieces of " << piece;
  }
}

TEST(InputBound, IsReportedWithItsSize) {
  RenderOptions options;
  options.maxInputBytes = 4 * 1024 * 1024;
  TicketRenderer renderer(options);
  const Bytes line = Bytes(40, 'x') + "\n";
  bool more = true;
  std::uint64_t offered = 0;
  while (more && offered < 5 * 1024 * 1024) {
    more = renderer.Feed(line);
    offered += line.size();
  }
  EXPECT_FALSE(more);
  EXPECT_FALSE(renderer.Feed(line));
  renderer.SetInputSize(6000000);
  const RenderedTicket t = renderer.Finish();
  EXPECT_EQ(t.bytesRead, 4u * 1024 * 1024);
  EXPECT_TRUE(ReportHas(t, "entrada cortada aos 4 MiB (tem 6000000 bytes): o resto não foi lido"))
      << ReportText(t);
}

}  // namespace
}  // namespace qrticket::viewer
