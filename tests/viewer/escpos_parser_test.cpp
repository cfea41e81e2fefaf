// The stream parser, one row per command: bytes in (hex), events out (a short text form).
#include <gtest/gtest.h>

#include <cstdio>

#include "escpos_parser.h"
#include "temp_dir.h"

namespace qrticket::viewer {
namespace {

using qrticket::testing::Hex;
using namespace std::string_literals;

Bytes FromHex(const char* hex) {
  Bytes out;
  unsigned value;
  int used;
  while (std::sscanf(hex, " %2x%n", &value, &used) == 1) {
    out += static_cast<char>(value);
    hex += used;
  }
  return out;
}

std::string N(int v) { return std::to_string(v); }

std::string Describe(const Event& event) {
  return std::visit(
      [](const auto& e) -> std::string {
        using T = std::decay_t<decltype(e)>;
        if constexpr (std::is_same_v<T, TextRun>) return "Text(" + std::string(e.bytes) + ")";
        if constexpr (std::is_same_v<T, LineFeed>) return "LF";
        if constexpr (std::is_same_v<T, HorizontalTab>) return "HT";
        if constexpr (std::is_same_v<T, FeedLines>) return "FeedLines(" + N(e.lines) + ")";
        if constexpr (std::is_same_v<T, FeedDots>) return "FeedDots(" + N(e.units) + ")";
        if constexpr (std::is_same_v<T, Initialise>) return "Init";
        if constexpr (std::is_same_v<T, Justify>) return "Justify(" + N(e.mode) + ")";
        if constexpr (std::is_same_v<T, Emphasis>) return e.on ? "Bold" : "NotBold";
        if constexpr (std::is_same_v<T, Underline>) return "Underline(" + N(e.dots) + ")";
        if constexpr (std::is_same_v<T, PrintMode>) return "Mode(" + N(e.bits) + ")";
        if constexpr (std::is_same_v<T, SelectFont>) return "Font(" + N(e.font) + ")";
        if constexpr (std::is_same_v<T, CharacterSize>) return "Size(" + N(e.width) + "x" + N(e.height) + ")";
        if constexpr (std::is_same_v<T, LineSpacing>) return "Spacing(" + N(e.units) + ")";
        if constexpr (std::is_same_v<T, Cut>) return "Cut@" + N(e.offset);
        if constexpr (std::is_same_v<T, PageModeCommand>) return std::string("Page(") + e.which + ")";
        if constexpr (std::is_same_v<T, CodeTable>) return "Table(" + N(e.table) + ")";
        if constexpr (std::is_same_v<T, KanjiMode>) return e.on ? "KanjiOn" : "KanjiOff";
        if constexpr (std::is_same_v<T, CharacterSpacing>) return "CharSpacing(" + N(e.units) + ")";
        if constexpr (std::is_same_v<T, AbsolutePosition>) return "At(" + N(e.units) + ")";
        if constexpr (std::is_same_v<T, RelativePosition>) return "Move(" + N(e.units) + ")";
        if constexpr (std::is_same_v<T, LeftMargin>) return "Margin(" + N(e.units) + ")";
        if constexpr (std::is_same_v<T, PrintAreaWidth>) return "AreaWidth(" + N(e.units) + ")";
        if constexpr (std::is_same_v<T, MotionUnits>) return "Units(" + N(e.x) + "," + N(e.y) + ")";
        if constexpr (std::is_same_v<T, UpsideDown>) return e.on ? "UpsideDown" : "Upright";
        if constexpr (std::is_same_v<T, Reverse>) return e.on ? "Reverse" : "NotReverse";
        if constexpr (std::is_same_v<T, TabStops>) return "Tabs(" + Hex(e.columns) + ")";
        if constexpr (std::is_same_v<T, BarcodeSetting>)
          return std::string("Bar") + e.which + "(" + N(e.value) + ")";
        if constexpr (std::is_same_v<T, Barcode>)
          return "Barcode@" + N(e.offset) + "(" + N(e.system) + ": " + std::string(e.data) + ")";
        if constexpr (std::is_same_v<T, SymbolFunction>)
          return "Symbol@" + N(e.offset) + "(" + Hex(std::string{char(e.cn), char(e.fn)}) +
                 ": " + Hex(e.params) + ")";
        if constexpr (std::is_same_v<T, WoosimQr>)
          return "EscZ(" + Hex(std::string{char(e.version), char(e.level), char(e.moduleSize)}) +
                 " len " + N(e.declaredLength) + ": " + Hex(e.data) + ")";
        if constexpr (std::is_same_v<T, RasterImage>)
          return "Raster(" + N(e.mode) + " " + N(e.widthBytes) + "x" + N(e.rows) + ": " +
                 Hex(e.data) + ")";
        if constexpr (std::is_same_v<T, ColumnImage>)
          return "Columns(" + N(e.mode) + " " + N(e.columns) + ": " + Hex(e.data) + ")";
        if constexpr (std::is_same_v<T, GraphicsFunction>)
          return std::string(e.longForm ? "Graphics8" : "Graphics") + "@" + N(e.offset) + "(" +
                 Hex(std::string{char(e.m), char(e.fn)}) + ": " + Hex(e.params) + ")";
        if constexpr (std::is_same_v<T, Skipped>)
          return "Skip@" + N(e.offset) + "(" + e.command.Name() + (e.known ? ")" : ", unknown)");
        if constexpr (std::is_same_v<T, Oversized>)
          return "TooLong@" + N(e.offset) + "(" + e.command.Name() + " " + std::to_string(e.length) + ")";
        if constexpr (std::is_same_v<T, Truncated>)
          return "Truncated@" + N(e.offset) + "(" + e.command.Name() + ")";
      },
      event);
}

// The events of `stream` fed `chunk` bytes at a time (0: all at once), adjacent text runs
// joined, as a chunk boundary may split one.
std::string DescribeAll(BytesView stream, std::size_t chunk = 0,
                        std::size_t maxCommand = kMaxCommandBytes) {
  struct Describer : EventSink {
    std::string out;
    void OnEvent(const Event& e) override {
      std::string text = Describe(e);
      const bool isText = text.rfind("Text(", 0) == 0;
      if (isText && out.size() > 0 && out.back() == ')' && lastWasText) {
        out.pop_back();
        out += text.substr(5);
      } else {
        out += (out.empty() ? "" : " ") + text;
      }
      lastWasText = isText;
    }
    bool lastWasText = false;
  } describer;
  EscPosParser parser(maxCommand);
  if (chunk == 0) chunk = stream.size() + 1;
  for (std::size_t at = 0; at < stream.size(); at += chunk) {
    parser.Feed(stream.substr(at, chunk), describer);
  }
  parser.Finish(describer);
  return describer.out;
}

struct ParserRow {
  const char* name;
  const char* hex;
  const char* events;
};

void PrintTo(const ParserRow& row, std::ostream* out) { *out << row.name; }

class Parser : public ::testing::TestWithParam<ParserRow> {};

TEST_P(Parser, Events) { EXPECT_EQ(DescribeAll(FromHex(GetParam().hex)), GetParam().events); }

// The stream arriving in pieces of every small size gives the same events: a command split
// between two pieces waits for the rest.
TEST_P(Parser, SameEventsWhateverThePieces) {
  const Bytes stream = FromHex(GetParam().hex);
  for (std::size_t chunk : {1, 2, 3, 5, 7}) {
    EXPECT_EQ(DescribeAll(stream, chunk), GetParam().events) << "pieces of " << chunk;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, Parser,
    ::testing::Values(
        ParserRow{"TextAndLineFeed", "61 62 0A", "Text(ab) LF"},
        ParserRow{"CarriageReturnIgnored", "61 0D 0A 0D", "Text(a) LF"},
        ParserRow{"Tab", "09 41", "HT Text(A)"},
        ParserRow{"Initialise", "1B 40", "Init"},
        ParserRow{"Centre", "1B 61 01", "Justify(1)"},
        ParserRow{"Bold", "1B 45 01 1B 45 00", "Bold NotBold"},
        ParserRow{"PrintMode", "1B 21 38", "Mode(56)"},
        ParserRow{"DoubleSize", "1D 21 11", "Size(2x2)"},
        ParserRow{"LargestSize", "1D 21 77", "Size(8x8)"},
        ParserRow{"FeedLines", "1B 64 03", "FeedLines(3)"},
        ParserRow{"FeedDots", "1B 4A 50", "FeedDots(80)"},
        ParserRow{"LineSpacing", "1B 33 28 1B 32", "Spacing(40) Spacing(-1)"},
        ParserRow{"FullCut", "1D 56 00", "Cut@0"},
        ParserRow{"CutWithFeed", "1D 56 42 03 41", "Cut@0 Text(A)"},
        ParserRow{"PageModeCommands", "1B 0C 1B 4C 1B 53", "Page(F) Page(L) Page(S)"},
        ParserRow{"CodeTable", "1B 74 10 41", "Table(16) Text(A)"},
        ParserRow{"Kanji", "1C 26 1C 2E", "KanjiOn KanjiOff"},
        ParserRow{"CharacterSpacing", "1B 20 05", "CharSpacing(5)"},
        ParserRow{"AbsolutePosition", "1B 24 2C 01", "At(300)"},
        ParserRow{"RelativePositionBack", "1B 5C F4 FF", "Move(-12)"},
        ParserRow{"MarginAndWidth", "1D 4C 10 00 1D 57 00 02", "Margin(16) AreaWidth(512)"},
        ParserRow{"MotionUnits", "1D 50 B4 B4", "Units(180,180)"},
        ParserRow{"UpsideDownAndReverse", "1B 7B 01 1D 42 01", "UpsideDown Reverse"},
        ParserRow{"TabStops", "1B 44 08 10 00 41", "Tabs(08 10) Text(A)"},
        ParserRow{"BarcodeSettings", "1D 68 50 1D 77 02 1D 48 32 1D 66 01",
                  "Barh(80) Barw(2) BarH(50) Barf(1)"},
        ParserRow{"BarCodeNulEnded", "1D 6B 04 31 32 00 41", "Barcode@0(4: 12) Text(A)"},
        ParserRow{"BarCodeCounted", "1D 6B 49 02 31 32 41", "Barcode@0(73: 12) Text(A)"},
        ParserRow{"BarCodeUnknownSystem", "1D 6B 20 41", "Skip@0(GS k, unknown) Text(A)"},
        ParserRow{"BarCodeWithoutNul", "1D 6B 04 31 32", "Truncated@0(GS k)"},
        ParserRow{"QrModel", "1D 28 6B 04 00 31 41 32 00", "Symbol@0(31 41: 32 00)"},
        ParserRow{"QrStore", "1D 28 6B 06 00 31 50 30 61 62 63 0A",
                  "Symbol@0(31 50: 30 61 62 63) LF"},
        ParserRow{"QrStoreWithNul", "1D 28 6B 05 00 31 50 30 00 00", "Symbol@0(31 50: 30 00 00)"},
        ParserRow{"Pdf417Columns", "1D 28 6B 03 00 30 41 02 41", "Symbol@0(30 41: 02) Text(A)"},
        ParserRow{"SymbolTooShort", "1D 28 6B 01 00 30 41", "Skip@0(GS ( k) Text(A)"},
        ParserRow{"QrCutInTheData", "1D 28 6B 06 00 31 50 30 61", "Truncated@0(GS ( k)"},
        ParserRow{"QrCutInTheLength", "1D 28 6B 03", "Truncated@0(GS ()"},
        ParserRow{"QrLengthPastTheEnd", "1D 28 6B FF FF 31 50 30", "Truncated@0(GS ( k)"},
        ParserRow{"EscZ", "1B 5A 00 0F 06 03 00 61 62 63 0D 0A",
                  "EscZ(00 0F 06 len 3: 61 62 63) LF"},
        ParserRow{"EscZLengthRunsIntoTheNextLine", "1B 5A 00 0F 06 06 00 61 62 63 0D 0A 53 69",
                  "EscZ(00 0F 06 len 6: 61 62 63 0D 0A 53) Text(i)"},
        ParserRow{"EscZLengthPastTheEnd", "1B 5A 00 0F 06 10 00 61", "Truncated@0(ESC Z)"},
        ParserRow{"UnknownEsc", "1B 7F 41", "Skip@0(ESC 0x7F, unknown) Text(A)"},
        ParserRow{"LoneEscAtTheEnd", "41 1B", "Text(A) Truncated@1(ESC)"},
        ParserRow{"Nul", "00", "Skip@0(NUL, unknown)"},
        ParserRow{"RasterImage", "1D 76 30 00 01 00 02 00 FF 81 41", "Raster(0 1x2: FF 81) Text(A)"},
        ParserRow{"RasterImageCut", "1D 76 30 00 02 00 02 00 FF 81 41", "Truncated@0(GS v 0)"},
        ParserRow{"ColumnImage24", "1B 2A 21 01 00 FF 00 81 41", "Columns(33 1: FF 00 81) Text(A)"},
        ParserRow{"ColumnImage8", "1B 2A 00 02 00 F0 0F 41", "Columns(0 2: F0 0F) Text(A)"},
        ParserRow{"ColumnImageBadMode", "1B 2A 05 01 00",
                  "Skip@0(ESC *, unknown) Skip@3(SOH, unknown) Skip@4(NUL, unknown)"},
        ParserRow{"GraphicsStore", "1D 28 4C 0B 00 30 70 30 01 01 31 08 00 01 00 AA",
                  "Graphics@0(30 70: 30 01 01 31 08 00 01 00 AA)"},
        ParserRow{"GraphicsPrint", "1D 28 4C 02 00 30 32 41", "Graphics@0(30 32: ) Text(A)"},
        ParserRow{"GraphicsLongForm", "1D 38 4C 03 00 00 00 30 32 00 41",
                  "Graphics8@0(30 32: 00) Text(A)"},
        ParserRow{"OtherGsParen", "1D 28 41 02 00 00 02 41", "Skip@0(GS ( A) Text(A)"},
        ParserRow{"NvImagesDefined", "1C 71 01 01 00 01 00 FF FF FF FF FF FF FF FF 41",
                  "Skip@0(FS q) Text(A)"},
        ParserRow{"DrawerPulse", "1B 70 00 19 FA 41", "Skip@0(ESC p) Text(A)"},
        ParserRow{"StatusRequest", "10 04 01 41", "Skip@0(DLE EOT) Text(A)"},
        ParserRow{"ClearBuffers", "10 14 08 01 03 14 01 06 02 08 41", "Skip@0(DLE DC4) Text(A)"},
        ParserRow{"Windows1252Text", "C7 E3 80", "Text(\xC7\xE3\x80)"}),
    [](const auto& info) { return std::string(info.param.name); });

// A command longer than the parser holds is read and dropped as it arrives, whatever the
// pieces; the bytes after it are read afresh. A skipped command is never held at all.
struct LongRow {
  const char* name;
  Bytes stream;
  std::string events;
};
void PrintTo(const LongRow& row, std::ostream* out) { *out << row.name; }
class LongCommands : public ::testing::TestWithParam<LongRow> {};

TEST_P(LongCommands, AreDroppedInBoundedMemory) {
  for (std::size_t chunk : {0, 1, 3, 64}) {
    EXPECT_EQ(DescribeAll(GetParam().stream, chunk, /*maxCommand=*/32), GetParam().events)
        << "pieces of " << chunk;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Bounded, LongCommands,
    ::testing::Values(
        LongRow{"RasterOverTheBound", "\x1dv0\x00\x05\x00\x08\x00"s + Bytes(40, '\xff') + "A",
                "TooLong@0(GS v 0 48) Text(A)"},
        LongRow{"RasterAtTheBound", "\x1dv0\x00\x03\x00\x08\x00"s + Bytes(24, '\x00') + "A",
                "Raster(0 3x8: " + Hex(Bytes(24, '\x00')) + ") Text(A)"},
        LongRow{"StoreOverTheBound", "\x1d(k\x2b\x00" "1P0"s + Bytes(40, 'x') + "A",
                "TooLong@0(GS ( k 48) Text(A)"},
        LongRow{"SkippedNeverHeld", "\x1c(e\x28\x00"s + Bytes(40, 'x') + "A",
                "Skip@0(FS ( e) Text(A)"},
        LongRow{"DroppedThenCut", "\x1dv0\x00\x05\x00\x08\x00"s + Bytes(10, '\xff'),
                "TooLong@0(GS v 0 48) Truncated@0(GS v 0)"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket::viewer
