// GS k bar codes drawn with zint and read back with ZXing: each system decodes to its data, GS w
// widens modules (and CODE39/ITF/CODABAR's narrow and thick elements) by the printer's table,
// GS h sets the height, GS H and GS f place the readable text, and data a printer refuses
// prints nothing.
#include <gtest/gtest.h>

#include <algorithm>

#include "code_reader.h"
#include "render_ticket.h"
#include "test_bitmap.h"
#include "viewer_test_support.h"

namespace qrticket::viewer {
namespace {

using namespace std::string_literals;

Bytes NulEnded(char m, const Bytes& data) { return "\x1dk"s + m + data + '\0'; }
Bytes Counted(char m, const Bytes& data) {
  return "\x1dk"s + m + static_cast<char>(data.size()) + data;
}
Bytes Height(int dots) { return "\x1dh"s + static_cast<char>(dots); }
Bytes Width(int n) { return "\x1dw"s + static_cast<char>(n); }
Bytes Readable(int position) { return "\x1dH"s + static_cast<char>(position); }

struct BarcodeRow {
  const char* name;
  Bytes stream;
  const char* format;  // ZXing's name
  const char* text;    // what it reads
  const char* system;  // our name in the report and elements
};
void PrintTo(const BarcodeRow& row, std::ostream* out) { *out << row.name; }
class Barcodes : public ::testing::TestWithParam<BarcodeRow> {};

TEST_P(Barcodes, ReadBackToTheirData) {
  const BarcodeRow& row = GetParam();
  const RenderedTicket t = RenderTicket(Height(80) + row.stream);
  // A UPC-A symbol also reads as an EAN-13 with a leading 0: look for the expected format.
  const auto codes = testing::ReadCodes(t, 2);
  const auto code = std::find_if(codes.begin(), codes.end(),
                                 [&](const auto& c) { return c.format == row.format; });
  ASSERT_NE(code, codes.end()) << testing::ReportText(t);
  EXPECT_EQ(code->text, row.text);
  ASSERT_EQ(t.elements.size(), 1u);
  EXPECT_EQ(t.elements[0].kind, row.system);
  EXPECT_EQ(t.elements[0].command, "GS k");
  EXPECT_EQ(t.elements[0].height, 80);
  EXPECT_TRUE(testing::ReportHas(t, "byte 3: " + std::string(row.system) + " (GS k), " +
                                        std::to_string(t.elements[0].width) + " × 80 pontos"))
      << testing::ReportText(t);
}

INSTANTIATE_TEST_SUITE_P(
    Systems, Barcodes,
    ::testing::Values(
        BarcodeRow{"UpcA", NulEnded(0, "01234567890"), "UPC-A", "012345678905", "UPC-A"},
        BarcodeRow{"UpcACounted", Counted(65, "012345678905"), "UPC-A", "012345678905", "UPC-A"},
        BarcodeRow{"UpcE", NulEnded(1, "0123456"), "UPC-E", "01234565", "UPC-E"},
        BarcodeRow{"Ean13", NulEnded(2, "560123456789"), "EAN-13", "5601234567892", "EAN13"},
        BarcodeRow{"Ean13WithCheckDigit", Counted(67, "5601234567892"), "EAN-13",
                   "5601234567892", "EAN13"},
        BarcodeRow{"Ean8", NulEnded(3, "5601234"), "EAN-8", "56012347", "EAN8"},
        BarcodeRow{"Code39", NulEnded(4, "ABC-123 $"), "Code39", "ABC-123 $", "CODE39"},
        BarcodeRow{"Code39WithStars", Counted(69, "*PT*"), "Code39", "PT", "CODE39"},
        BarcodeRow{"Itf", NulEnded(5, "12345678"), "ITF", "12345678", "ITF"},
        BarcodeRow{"Codabar", NulEnded(6, "A40156B"), "Codabar", "A40156B", "CODABAR"},
        BarcodeRow{"Code93", Counted(72, "CODE 93"), "Code93", "CODE 93", "CODE93"},
        BarcodeRow{"Code128SetB", Counted(73, "{BQRticket 1"), "Code128", "QRticket 1", "CODE128"},
        // Set C carries two digits per byte: 12, 34, 56.
        BarcodeRow{"Code128SetC", Counted(73, "{C\x0c\x22\x38"), "Code128", "123456", "CODE128"},
        BarcodeRow{"Code128SetsMixed", Counted(73, "{BNo{C\x01\x17{B.{{"), "Code128", "No0123.{",
                   "CODE128"},
        BarcodeRow{"Code128Auto", Counted(79, "auto 42"), "Code128", "auto 42",
                   "CODE128 (automático)"},
        // ZXing gives GS1 data without the parentheses around the application identifier.
        BarcodeRow{"Gs1_128", Counted(74, "(01)09501101530003"), "Code128", "0109501101530003",
                   "GS1-128"},
        BarcodeRow{"DataBar", Counted(75, "0950110153000"), "DataBar", "09501101530003",
                   "GS1 DataBar Omnidirectional"}),
    [](const auto& info) { return std::string(info.param.name); });

// The widths of the bars and spaces along one row of the picture, from the first bar.
std::vector<int> Runs(const RenderedTicket& t, int y) {
  std::vector<int> runs;
  bool dark = true;
  int run = 0;
  int x = 0;
  while (x < t.width && t.pixels[static_cast<std::size_t>(y) * t.width + x] >= 128) ++x;
  for (; x < t.width; ++x) {
    const bool here = t.pixels[static_cast<std::size_t>(y) * t.width + x] < 128;
    if (here == dark) {
      ++run;
    } else {
      runs.push_back(run);
      dark = here;
      run = 1;
    }
  }
  if (dark) runs.push_back(run);
  return runs;
}

struct WidthRow {
  int n;
  int thick;  // the references' thick element at this GS w
};
class ModuleWidths : public ::testing::TestWithParam<WidthRow> {};

// CODE39 has narrow and thick elements only: GS w n makes them n and the listed thick width.
TEST_P(ModuleWidths, TwoWidthSystemsUseThePrintersThickWidth) {
  const WidthRow& row = GetParam();
  const RenderedTicket t = RenderTicket(Width(row.n) + NulEnded(4, "A1"));
  std::vector<int> runs = Runs(t, 10);
  runs.pop_back();  // the space after the last bar runs to the paper's edge
  ASSERT_FALSE(runs.empty());
  for (const int r : runs) EXPECT_TRUE(r == row.n || r == row.thick) << r;
  EXPECT_EQ(testing::ReadCodes(t, 1).at(0).text, "A1");
}

// CODE128's modules are n dots each: the width grows exactly with n.
TEST_P(ModuleWidths, MultiLevelSystemsScaleEveryModule) {
  const int n = GetParam().n;
  const RenderedTicket t = RenderTicket(Width(n) + Counted(73, "{BAB"));
  ASSERT_EQ(t.elements.size(), 1u) << testing::ReportText(t);
  // Start (11) + two characters (22) + check (11) + stop (13) modules.
  EXPECT_EQ(t.elements[0].width, 57 * n);
  for (const int r : Runs(t, 10)) EXPECT_EQ(r % n, 0) << r;
}

INSTANTIATE_TEST_SUITE_P(GsW, ModuleWidths,
                         ::testing::Values(WidthRow{2, 5}, WidthRow{3, 8}, WidthRow{4, 10},
                                           WidthRow{5, 13}, WidthRow{6, 16}));

struct LayoutRow {
  const char* name;
  Bytes settings;
  int barsTop;     // first row of bars
  int height;      // bars and readable text
  int textRows;    // rows of text above, for the "above" cases
};
void PrintTo(const LayoutRow& row, std::ostream* out) { *out << row.name; }
class ReadableText : public ::testing::TestWithParam<LayoutRow> {};

TEST_P(ReadableText, SitsWhereGsHSays) {
  const LayoutRow& row = GetParam();
  const RenderedTicket t = RenderTicket(Height(40) + row.settings + Counted(73, "{B42"));
  ASSERT_EQ(t.elements.size(), 1u) << testing::ReportText(t);
  EXPECT_EQ(t.elements[0].height, row.height);
  const testing::Box ink = testing::InkBox(t);
  EXPECT_EQ(ink.bottom + 1 <= row.height, true);
  // The bars are solid from barsTop for 40 rows: the first bar's column is dark there.
  const int barColumn = t.elements[0].x;
  EXPECT_TRUE(testing::ReadBack(t, barColumn, row.barsTop, 1, 1).At(0, 0));
  EXPECT_TRUE(testing::ReadBack(t, barColumn, row.barsTop + 39, 1, 1).At(0, 0));
  if (row.textRows > 0) {
    EXPECT_FALSE(testing::ReadBack(t, barColumn, row.barsTop - 1, 1, 1).At(0, 0));
  }
  EXPECT_EQ(testing::ReadCodes(t, 2).at(0).text, "42");
}

INSTANTIATE_TEST_SUITE_P(
    GsHAndGsF, ReadableText,
    ::testing::Values(LayoutRow{"None", Readable(0), 0, 40, 0},
                      LayoutRow{"Below", Readable(2), 0, 40 + 24, 0},
                      LayoutRow{"Above", Readable('1'), 24, 24 + 40, 24},
                      LayoutRow{"BothFontB", Readable(3) + "\x1d" "f\x01", 17, 17 + 40 + 17, 17}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BarcodePlacement, FollowsTheJustification) {
  const Bytes code = Width(2) + Counted(73, "{BAB");  // 57 modules of 2 dots: 114
  EXPECT_EQ(RenderTicket(code).elements.at(0).x, 0);
  EXPECT_EQ(RenderTicket("\x1b" "a1" + code).elements.at(0).x, (576 - 114) / 2);
  EXPECT_EQ(RenderTicket("\x1b" "a\x02" + code).elements.at(0).x, 576 - 114);
}

struct RefusedRow {
  const char* name;
  Bytes stream;
  const char* reportHas;
};
void PrintTo(const RefusedRow& row, std::ostream* out) { *out << row.name; }
class BarcodeRefused : public ::testing::TestWithParam<RefusedRow> {};

TEST_P(BarcodeRefused, PrintsNothing) {
  const RenderedTicket t = RenderTicket(GetParam().stream);
  EXPECT_TRUE(t.elements.empty());
  EXPECT_EQ(testing::InkCount(t), 0u);
  EXPECT_TRUE(testing::ReportHas(t, GetParam().reportHas)) << testing::ReportText(t);
}

INSTANTIATE_TEST_SUITE_P(
    Data, BarcodeRefused,
    ::testing::Values(
        RefusedRow{"WrongCheckDigit", NulEnded(2, "5601234567890"),
                   "EAN13: dígito de controlo 0 errado (devia ser 2)"},
        RefusedRow{"Code39LowerCase", NulEnded(4, "abc"), "CODE39 não aceita o byte 0x61"},
        RefusedRow{"ItfOddLength", NulEnded(5, "123"), "ITF não aceita 3 caracteres"},
        RefusedRow{"UpcAShort", NulEnded(0, "123"), "UPC-A não aceita 3 caracteres"},
        RefusedRow{"Code128WithoutCodeSet", Counted(73, "AB"), "CODE128 tem de começar por {A"},
        RefusedRow{"Code128SetCOutOfRange", Counted(73, "{C\x64"), "100 fora de 0 a 99"},
        RefusedRow{"WiderThanThePaper", Width(6) + Counted(69, Bytes(20, 'X')),
                   "CODE39 (GS k) com "},
        RefusedRow{"WiderThanThePrintArea",
                   "\x1dW\x64\x00"s + Width(2) + Counted(73, "{BABCDEF"),
                   "não cabe na área de impressão (100 pontos)"}),
    [](const auto& info) { return std::string(info.param.name); });

struct SettingRow {
  const char* name;
  Bytes setting;
  const char* reportHas;
};
void PrintTo(const SettingRow& row, std::ostream* out) { *out << row.name; }
class BarcodeSettingsOutOfRange : public ::testing::TestWithParam<SettingRow> {};

// A setting out of range is ignored: the bar code keeps the one before (here GS w 2, GS h 50).
TEST_P(BarcodeSettingsOutOfRange, KeepTheSettingBefore) {
  const RenderedTicket t =
      RenderTicket(Width(2) + Height(50) + GetParam().setting + Counted(73, "{BAB"));
  ASSERT_EQ(t.elements.size(), 1u);
  EXPECT_EQ(t.elements[0].width, 114);
  EXPECT_EQ(t.elements[0].height, 50);
  EXPECT_TRUE(testing::ReportHas(t, GetParam().reportHas)) << testing::ReportText(t);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, BarcodeSettingsOutOfRange,
    ::testing::Values(SettingRow{"WidthOne", Width(1), "GS w 1: fora do intervalo"},
                      SettingRow{"WidthSeven", Width(7), "GS w 7: fora do intervalo"},
                      SettingRow{"HeightZero", Height(0), "GS h 0: fora do intervalo"},
                      SettingRow{"TextPositionFour", Readable(4), "GS H 4: fora do intervalo"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket::viewer
