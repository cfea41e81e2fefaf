// Every image command against hand-made bitmaps (checkerboards, one-dot frames, lone corner
// dots, odd widths): the dots must come back exactly, at the place the justification gives,
// scaled as the command's mode says, and nothing else may be inked.
#include <gtest/gtest.h>

#include "render_ticket.h"
#include "test_bitmap.h"
#include "viewer_test_support.h"

namespace qrticket::viewer {
namespace {

using namespace std::string_literals;
using testing::TestBitmap;
using testing::Checkerboard;
using testing::Corners;
using testing::Frame;

Bytes Word(int value) { return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)}; }

// GS v 0 m xL xH yL yH data
Bytes RasterCommand(const TestBitmap& b, int mode) {
  return "\x1dv0"s + static_cast<char>(mode) + Word((b.width + 7) / 8) + Word(b.height) +
         testing::RasterBytes(b);
}

// ESC * m nL nH data, then LF to print the line it sits in.
Bytes ColumnCommand(const TestBitmap& b, int mode) {
  return "\x1b*"s + static_cast<char>(mode) + Word(b.width) + testing::ColumnBytes(b);
}

// A bitmap 24 dots tall per band, each band an ESC * line at a line spacing of 24 dots.
Bytes ColumnBands(const TestBitmap& b) {
  Bytes out = "\x1b" "3\x18"s;
  for (int top = 0; top < b.height; top += 24) {
    TestBitmap band{b.width, 24, {}};
    for (int y = top; y < top + 24; ++y) {
      for (int x = 0; x < b.width; ++x) band.dots.push_back(y < b.height && b.At(x, y));
    }
    out += ColumnCommand(band, 33) + "\n";
  }
  return out;
}

// GS ( L (or GS 8 L) fn 112 or 113 storing the bitmap, then fn 50 printing it.
Bytes Graphics(const TestBitmap& b, bool columns, int bx, int by, bool longForm) {
  const Bytes data = columns ? testing::ColumnBytes(b) : testing::RasterBytes(b);
  const Bytes params = "0"s + static_cast<char>(columns ? 113 : 112) + "0" +
                       static_cast<char>(bx) + static_cast<char>(by) + "1" + Word(b.width) +
                       Word(b.height) + data;
  const std::size_t n = params.size();
  const Bytes store = longForm ? "\x1d" "8L"s + static_cast<char>(n & 0xFF) +
                                     static_cast<char>((n >> 8) & 0xFF) +
                                     static_cast<char>((n >> 16) & 0xFF) + '\0' + params
                               : "\x1d(L"s + Word(static_cast<int>(n)) + params;
  return store + "\x1d(L\x02\x00" "02"s;
}

struct ImageRow {
  const char* name;
  Bytes stream;
  TestBitmap expected;  // the bitmap as it should appear, scaled, padding bits included
  int x;                // where its left edge lands
  const char* command;
  int paperWidth = 576;
};

void PrintTo(const ImageRow& row, std::ostream* out) { *out << row.name; }

// The printed width of a raster image is whole bytes: an odd width is padded with white dots.
TestBitmap Padded(const TestBitmap& b) {
  TestBitmap out{(b.width + 7) / 8 * 8, b.height, {}};
  for (int y = 0; y < b.height; ++y) {
    for (int x = 0; x < out.width; ++x) out.dots.push_back(x < b.width && b.At(x, y));
  }
  return out;
}

std::vector<ImageRow> RasterRows() {
  const TestBitmap checker = Checkerboard(16, 8), frame = Frame(13, 7), corners = Corners(21, 5);
  return {
      {"Checkerboard", RasterCommand(checker, 0), checker, 0, "GS v 0"},
      {"FrameOddWidth", RasterCommand(frame, 0), Padded(frame), 0, "GS v 0"},
      {"CornersOddWidth", RasterCommand(corners, 48), Padded(corners), 0, "GS v 0"},
      {"DoubleWidth", RasterCommand(frame, 1), Padded(frame).Scaled(2, 1), 0, "GS v 0"},
      {"DoubleHeight", RasterCommand(frame, 50), Padded(frame).Scaled(1, 2), 0, "GS v 0"},
      {"Quadruple", RasterCommand(corners, 3), Padded(corners).Scaled(2, 2), 0, "GS v 0"},
      {"Centred", "\x1b" "a\x01" + RasterCommand(frame, 0), Padded(frame), (576 - 16) / 2,
       "GS v 0"},
      {"Right", "\x1b" "a2" + RasterCommand(corners, 0), Padded(corners), 576 - 24, "GS v 0"},
      {"RightQuadruple", "\x1b" "a\x02" + RasterCommand(corners, 51),
       Padded(corners).Scaled(2, 2), 576 - 48, "GS v 0"},
      {"FullWidthFrame", RasterCommand(Frame(576, 4), 0), Frame(576, 4), 0, "GS v 0"},
      {"CentredOn58mm", "\x1b" "a1" + RasterCommand(checker, 0), checker, (384 - 16) / 2,
       "GS v 0", 384},
  };
}

class ImageCommands : public ::testing::TestWithParam<ImageRow> {};

TEST_P(ImageCommands, DrawTheDotsWhereTheyBelong) {
  const ImageRow& row = GetParam();
  RenderOptions options;
  options.paperWidth = row.paperWidth;
  const RenderedTicket t = RenderTicket(row.stream, options);
  const TestBitmap& want = row.expected;
  const TestBitmap got = testing::ReadBack(t, row.x, 0, want.width, want.height);
  EXPECT_EQ(got.dots, want.dots) << "want " << testing::Picture(want) << "got "
                                 << testing::Picture(got) << testing::ReportText(t);
  std::size_t wantInk = 0;
  for (const auto d : want.dots) wantInk += d;
  EXPECT_EQ(testing::InkCount(t), wantInk) << "ink outside the image";
  // The paper feeds by the image's height (and is never shorter than one line of text).
  EXPECT_EQ(t.height, std::max(want.height, 30));
  ASSERT_EQ(t.elements.size(), 1u) << testing::ReportText(t);
  EXPECT_EQ(t.elements[0].command, row.command);
  EXPECT_EQ(t.elements[0].x, row.x);
  EXPECT_EQ(t.elements[0].y, 0);
  EXPECT_EQ(t.elements[0].width, want.width);
  EXPECT_EQ(t.elements[0].height, want.height);
}

INSTANTIATE_TEST_SUITE_P(Raster, ImageCommands, ::testing::ValuesIn(RasterRows()),
                         [](const auto& info) { return std::string(info.param.name); });

// ESC * m: 8-dot images are 3 dots tall per bit on a 203 dpi printer, single density 2 dots
// wide per bit.
std::vector<ImageRow> ColumnRows() {
  const TestBitmap eight = Frame(13, 8), twentyFour = Checkerboard(17, 24);
  const TestBitmap tall = Frame(31, 72);
  return {
      {"EightDotSingleDensity", ColumnCommand(eight, 0) + "\n", eight.Scaled(2, 3), 0, "ESC *"},
      {"EightDotDoubleDensity", ColumnCommand(eight, 1) + "\n", eight.Scaled(1, 3), 0, "ESC *"},
      {"TwentyFourDotSingleDensity", ColumnCommand(twentyFour, 32) + "\n",
       twentyFour.Scaled(2, 1), 0, "ESC *"},
      {"TwentyFourDotDoubleDensity", ColumnCommand(twentyFour, 33) + "\n", twentyFour, 0,
       "ESC *"},
      {"Centred", "\x1b" "a1" + ColumnCommand(twentyFour, 33) + "\n", twentyFour,
       (576 - 17) / 2, "ESC *"},
      {"Right", "\x1b" "a2" + ColumnCommand(eight, 1) + "\n", eight.Scaled(1, 3), 576 - 13,
       "ESC *"},
      // Three bands one under the other make one picture (and one report line).
      {"BandsMakeOnePicture", ColumnBands(tall), tall, 0, "ESC *"},
  };
}
INSTANTIATE_TEST_SUITE_P(Columns, ImageCommands, ::testing::ValuesIn(ColumnRows()),
                         [](const auto& info) { return std::string(info.param.name); });

// GS ( L and GS 8 L: the picture is exactly x dots wide (no byte padding), scaled by bx, by.
std::vector<ImageRow> GraphicsRows() {
  const TestBitmap frame = Frame(13, 7), checker = Checkerboard(16, 9), corners = Corners(21, 5);
  return {
      {"RasterOddWidth", Graphics(frame, false, 1, 1, false), frame, 0, "GS ( L"},
      {"RasterDoubleWidth", Graphics(corners, false, 2, 1, false), corners.Scaled(2, 1), 0,
       "GS ( L"},
      {"RasterDoubleHeight", Graphics(frame, false, 1, 2, false), frame.Scaled(1, 2), 0,
       "GS ( L"},
      {"ColumnsOddHeight", Graphics(checker, true, 1, 1, false), checker, 0, "GS ( L"},
      {"ColumnsQuadruple", Graphics(frame, true, 2, 2, false), frame.Scaled(2, 2), 0, "GS ( L"},
      {"LongFormRaster", Graphics(corners, false, 1, 1, true), corners, 0, "GS 8 L"},
      {"LongFormCentred", "\x1b" "a1" + Graphics(frame, true, 1, 1, true), frame,
       (576 - 13) / 2, "GS 8 L"},
      {"RightOn58mm", "\x1b" "a2" + Graphics(checker, false, 1, 1, false), checker, 384 - 16,
       "GS ( L", 384},
  };
}
INSTANTIATE_TEST_SUITE_P(Graphics, ImageCommands, ::testing::ValuesIn(GraphicsRows()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ColumnImage, BandsAreReportedOnce) {
  const RenderedTicket t = RenderTicket(ColumnBands(Frame(31, 72)));
  EXPECT_TRUE(testing::ReportHas(t, "byte 3: imagem (ESC *), 31 × 72 pontos, em x=0, y=0 (3 faixas)"))
      << testing::ReportText(t);
}

TEST(ColumnImage, SharesItsLineWithText) {
  // "AB", then an 8-dot image 3 dots tall per bit: the line is as tall as the text (24).
  const RenderedTicket t = RenderTicket("AB" + ColumnCommand(Frame(5, 8), 1) + "C\n");
  ASSERT_EQ(t.elements.size(), 1u) << testing::ReportText(t);
  EXPECT_EQ(t.elements[0].x, 24);  // after two 12-dot characters
  EXPECT_EQ(t.elements[0].y, 0);
  EXPECT_EQ(t.height, 30);
}

// The picture is in the print buffer: printing it empties the buffer.
TEST(Graphics, PrintingEmptiesTheBuffer) {
  const RenderedTicket t =
      RenderTicket(Graphics(Frame(8, 2), false, 1, 1, false) + "\x1d(L\x02\x00" "02"s);
  EXPECT_EQ(t.elements.size(), 1u);
  EXPECT_TRUE(testing::ReportHas(t, "byte 24: GS ( L: imprimir sem imagem guardada"))
      << testing::ReportText(t);
}

struct GraphicsRefusedRow {
  const char* name;
  Bytes stream;
  const char* reportHas;
};
void PrintTo(const GraphicsRefusedRow& row, std::ostream* out) { *out << row.name; }
class GraphicsRefused : public ::testing::TestWithParam<GraphicsRefusedRow> {};

TEST_P(GraphicsRefused, DrawNothing) {
  const RenderedTicket t = RenderTicket(GetParam().stream);
  EXPECT_TRUE(t.elements.empty());
  EXPECT_EQ(testing::InkCount(t), 0u);
  EXPECT_TRUE(testing::ReportHas(t, GetParam().reportHas)) << testing::ReportText(t);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GraphicsRefused,
    ::testing::Values(
        GraphicsRefusedRow{"PrintWithNothingStored", "\x1d(L\x02\x00" "02"s,
                           "GS ( L: imprimir sem imagem guardada"},
        GraphicsRefusedRow{"SecondColour",
                           "\x1d(L\x0b\x00" "0p0\x01\x01" "2\x08\x00\x01\x00\xff"s +
                               "\x1d(L\x02\x00" "02"s,
                           "cor 2 (só a cor 1 é desenhada)"},
        GraphicsRefusedRow{"ScaleThree",
                           "\x1d(L\x0b\x00" "0p0\x03\x01" "1\x08\x00\x01\x00\xff"s,
                           "escala fora de 1 a 2"},
        GraphicsRefusedRow{"NvGraphicsPrinted", "\x1d(L\x06\x00" "0E  \x01\x01"s,
                           "função 69 (imagens da memória da impressora): não desenhada"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RasterImage, WiderThanThePaperIsCutAtItsEdge) {
  const TestBitmap frame = Frame(640, 3);
  const RenderedTicket t = RenderTicket(RasterCommand(frame, 0));
  ASSERT_EQ(t.width, 576);
  // The left part is there; the frame's right side, past dot 575, is not.
  for (int x = 0; x < 576; ++x) EXPECT_TRUE(testing::ReadBack(t, x, 0, 1, 1).At(0, 0)) << x;
  EXPECT_FALSE(testing::ReadBack(t, 575, 1, 1, 1).At(0, 0));
  EXPECT_TRUE(testing::ReportHas(t, "640 × 3 pontos, em x=0, y=0: cortado na margem direita da área"))
      << testing::ReportText(t);
}

TEST(RasterImage, TextWaitingInTheLinePrintsFirstAndTextAfterGoesBelow) {
  const TestBitmap frame = Frame(8, 10);
  const RenderedTicket t = RenderTicket(Bytes("A").append(RasterCommand(frame, 0)) + "B\n");
  ASSERT_EQ(t.elements.size(), 1u);
  EXPECT_EQ(t.elements[0].y, 30);         // below the line that held "A"
  EXPECT_EQ(t.height, 30 + 10 + 30);      // "A", the image, "B"
}

struct RefusedRow {
  const char* name;
  Bytes stream;
  const char* reportHas;
};
void PrintTo(const RefusedRow& row, std::ostream* out) { *out << row.name; }
class RasterRefused : public ::testing::TestWithParam<RefusedRow> {};

TEST_P(RasterRefused, DrawsNothingAndKeepsStep) {
  const RenderedTicket t = RenderTicket(GetParam().stream + "x\n");
  EXPECT_TRUE(t.elements.empty());
  EXPECT_TRUE(testing::ReportHas(t, GetParam().reportHas)) << testing::ReportText(t);
  // The byte after the image data is read as text again.
  EXPECT_EQ(t.height, 30);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RasterRefused,
    ::testing::Values(
        RefusedRow{"ModeFour", "\x1dv0\x04\x01\x00\x01\x00\xff"s, "GS v 0 com m=4"},
        RefusedRow{"ModeFiftyTwo", "\x1dv0\x34\x01\x00\x01\x00\xff"s, "GS v 0 com m=52"},
        RefusedRow{"NoRows", "\x1dv0\x00\x01\x00\x00\x00"s, "8 × 0 pontos: fora do intervalo"},
        RefusedRow{"NoColumns", "\x1dv0\x00\x00\x00\x05\x00"s, "0 × 5 pontos"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket::viewer
