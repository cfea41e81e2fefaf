// The stream parser, one row per command: bytes in (hex), events out (a short text form).
#include <gtest/gtest.h>

#include <cstdio>

#include "escpos_parser.h"
#include "temp_dir.h"

namespace qrticket::viewer {
namespace {

using qrticket::testing::Hex;

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

std::string Describe(const Event& event) {
  return std::visit(
      [](const auto& e) -> std::string {
        using T = std::decay_t<decltype(e)>;
        if constexpr (std::is_same_v<T, TextRun>) return "Text(" + std::string(e.bytes) + ")";
        if constexpr (std::is_same_v<T, LineFeed>) return "LF";
        if constexpr (std::is_same_v<T, HorizontalTab>) return "HT";
        if constexpr (std::is_same_v<T, FeedLines>) return "FeedLines(" + std::to_string(e.lines) + ")";
        if constexpr (std::is_same_v<T, FeedDots>) return "FeedDots(" + std::to_string(e.dots) + ")";
        if constexpr (std::is_same_v<T, Initialise>) return "Init";
        if constexpr (std::is_same_v<T, Justify>) return "Justify(" + std::to_string(e.mode) + ")";
        if constexpr (std::is_same_v<T, Emphasis>) return e.on ? "Bold" : "NotBold";
        if constexpr (std::is_same_v<T, Underline>) return "Underline(" + std::to_string(e.dots) + ")";
        if constexpr (std::is_same_v<T, PrintMode>) return "Mode(" + std::to_string(e.bits) + ")";
        if constexpr (std::is_same_v<T, SelectFont>) return "Font(" + std::to_string(e.font) + ")";
        if constexpr (std::is_same_v<T, CharacterSize>)
          return "Size(" + std::to_string(e.width) + "x" + std::to_string(e.height) + ")";
        if constexpr (std::is_same_v<T, LineSpacing>) return "Spacing(" + std::to_string(e.dots) + ")";
        if constexpr (std::is_same_v<T, Cut>) return "Cut@" + std::to_string(e.offset);
        if constexpr (std::is_same_v<T, PageModeCommand>) return std::string("Page(") + e.which + ")";
        if constexpr (std::is_same_v<T, QrFunction>)
          return "Qr@" + std::to_string(e.offset) + "(" + Hex(std::string(1, char(e.fn))) + ": " +
                 Hex(e.params) + ")";
        if constexpr (std::is_same_v<T, WoosimQr>)
          return "EscZ(" + Hex(std::string{char(e.version), char(e.level), char(e.moduleSize)}) +
                 " len " + std::to_string(e.declaredLength) + ": " + Hex(e.data) + ")";
        if constexpr (std::is_same_v<T, RasterImage>)
          return "Raster(" + std::to_string(e.mode) + " " + std::to_string(e.widthBytes) + "x" +
                 std::to_string(e.rows) + ": " + Hex(e.data) + ")";
        if constexpr (std::is_same_v<T, Skipped>)
          return "Skip@" + std::to_string(e.offset) + "(" + e.command + (e.known ? ")" : ", unknown)");
        if constexpr (std::is_same_v<T, Truncated>)
          return "Truncated@" + std::to_string(e.offset) + "(" + e.command + ")";
      },
      event);
}

std::string DescribeAll(BytesView stream) {
  std::string out;
  for (const Event& e : ParseEscPos(stream)) out += (out.empty() ? "" : " ") + Describe(e);
  return out;
}

struct ParserRow {
  const char* name;
  const char* hex;
  const char* events;
};

void PrintTo(const ParserRow& row, std::ostream* out) { *out << row.name; }

class Parser : public ::testing::TestWithParam<ParserRow> {};

TEST_P(Parser, Events) { EXPECT_EQ(DescribeAll(FromHex(GetParam().hex)), GetParam().events); }

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
        ParserRow{"QrModel", "1D 28 6B 04 00 31 41 32 00", "Qr@0(41: 32 00)"},
        ParserRow{"QrStore", "1D 28 6B 06 00 31 50 30 61 62 63 0A", "Qr@0(50: 30 61 62 63) LF"},
        ParserRow{"QrStoreWithNul", "1D 28 6B 05 00 31 50 30 00 00", "Qr@0(50: 30 00 00)"},
        ParserRow{"Pdf417Skipped", "1D 28 6B 03 00 30 41 02 41", "Skip@0(GS ( k) Text(A)"},
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
        ParserRow{"CodeTable", "1B 74 10 41", "Skip@0(ESC t) Text(A)"},
        ParserRow{"RasterImage", "1D 76 30 00 01 00 02 00 FF 81 41", "Raster(0 1x2: FF 81) Text(A)"},
        ParserRow{"RasterImageCut", "1D 76 30 00 02 00 02 00 FF 81 41", "Truncated@0(GS v 0)"},
        ParserRow{"BarCodeNulEnded", "1D 6B 04 31 32 00 41", "Skip@0(GS k) Text(A)"},
        ParserRow{"BarCodeCounted", "1D 6B 49 02 31 32 41", "Skip@0(GS k) Text(A)"},
        ParserRow{"BitImage", "1B 2A 21 01 00 FF FF FF 41", "Skip@0(ESC *) Text(A)"},
        ParserRow{"TabStops", "1B 44 08 10 00 41", "Skip@0(ESC D) Text(A)"},
        ParserRow{"Graphics", "1D 38 4C 02 00 00 00 30 41 42", "Skip@0(GS 8 L) Text(B)"},
        ParserRow{"DrawerPulse", "1B 70 00 19 FA 41", "Skip@0(ESC p) Text(A)"},
        ParserRow{"Windows1252Text", "C7 E3 80", "Text(\xC7\xE3\x80)"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket::viewer
