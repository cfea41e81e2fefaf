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
  const RenderedTicket t = RenderTicket("A" + RasterCommand(frame, 0) + "B\n");
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
