// Drawing: text layout, justification, sizes, feeds, cut, page mode notes, paper limits, and
// the PNG written by qrticket-view read back from disk.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>

#include "png_writer.h"
#include "render_ticket.h"
#include "temp_dir.h"
#include "test_bitmap.h"
#include "viewer_test_support.h"

namespace qrticket::viewer {
namespace {

using namespace std::string_literals;
using testing::Box;
using testing::InkBox;
using testing::ReportHas;
using testing::ReportText;

TEST(Render, OneLineOfTextSitsInTheFirstCells) {
  const auto t = RenderTicket("HH\n");
  EXPECT_EQ(t.width, 576);
  EXPECT_EQ(t.height, 30);  // one line at the default spacing
  const Box b = InkBox(t);
  EXPECT_GE(b.left, 0);
  EXPECT_LT(b.right, 24);   // two 12-dot cells
  EXPECT_LT(b.bottom, 24);
  EXPECT_TRUE(t.report.empty()) << ReportText(t);
}

TEST(Render, CarriageReturnChangesNothing) {
  EXPECT_EQ(RenderTicket("ab\r\ncd\r\n").pixels, RenderTicket("ab\ncd\n").pixels);
}

TEST(Render, JustificationMovesTheLine) {
  const Box left = InkBox(RenderTicket("HH\n"));
  const Box centre = InkBox(RenderTicket("\x1b" "a\x01HH\n"));
  const Box right = InkBox(RenderTicket("\x1b" "a2HH\n"));
  EXPECT_EQ(centre.left - left.left, (576 - 24) / 2);
  EXPECT_EQ(right.left - left.left, 576 - 24);
}

TEST(Render, DoubleSizeDoublesTheCell) {
  const auto t = RenderTicket("\x1d!\x11HH\n");
  EXPECT_EQ(t.height, 48);
  EXPECT_GE(InkBox(t).right, 24);
}

TEST(Render, FullLineWrapsAt48CharactersOfFontA) {
  EXPECT_EQ(RenderTicket(Bytes(48, 'x') + "\n").height, 30);
  EXPECT_EQ(RenderTicket(Bytes(49, 'x') + "\n").height, 60);
  RenderOptions narrow;
  narrow.paperWidth = 384;
  EXPECT_EQ(RenderTicket(Bytes(33, 'x') + "\n", narrow).height, 60);
}

TEST(Render, FeedsAddPaper) {
  EXPECT_EQ(RenderTicket("\x1b" "d\x03").height, 90);
  EXPECT_EQ(RenderTicket("\x1bJ\x50").height, 80);
}

TEST(Render, TextWithoutLineFeedStaysInTheBuffer) {
  const auto t = RenderTicket("abc");
  EXPECT_EQ(InkBox(t).left, -1);
  EXPECT_TRUE(ReportHas(t, "3 caracteres sem LF ficaram por imprimir"));
}

TEST(Render, CutDrawsALineAndIsReported) {
  const auto t = RenderTicket("\x1dV\x00"s);
  EXPECT_GE(InkBox(t).left, 0);
  EXPECT_TRUE(ReportHas(t, "byte 0: corte do papel")) << ReportText(t);
}

TEST(Render, PageModeIsDrawnAsStandardModeAndNoted) {
  const auto escFf = RenderTicket("\x1b@\x1b\x0c" "a\n");
  EXPECT_TRUE(ReportHas(escFf, "byte 2: ESC FF em modo padrão: ignorado")) << ReportText(escFf);
  const auto escL = RenderTicket("\x1bL" "a\n\x1b\x0c\x1bS");
  EXPECT_TRUE(ReportHas(escL, "ESC L (modo página): desenhado como modo padrão"));
  EXPECT_TRUE(ReportHas(escL, "ESC FF: página impressa"));
  EXPECT_TRUE(ReportHas(escL, "ESC S: volta ao modo padrão"));
}

TEST(Render, UnknownCommandsAreListed) {
  const auto t = RenderTicket("\x1b\x7f" "a\n\x1dk\x04" "12\0" "b\n"s);
  EXPECT_TRUE(ReportHas(t, "byte 0: comando desconhecido ESC 0x7F ignorado")) << ReportText(t);
}

TEST(Render, PaperIsBounded) {
  Bytes feeds;
  for (int i = 0; i < 100; ++i) feeds += "\x1b" "d\xff";
  RenderOptions options;
  options.maxHeight = 5000;
  const auto t = RenderTicket(feeds, options);
  EXPECT_EQ(t.height, 5000);
  EXPECT_EQ(t.pixels.size(), 5000u * 576u);
  EXPECT_TRUE(ReportHas(t, "papel limitado a 5000 pontos"));
}

TEST(Render, ReportIsBounded) {
  Bytes tables;  // a code table we do not draw: one report line each
  for (int i = 0; i < 2500; ++i) tables += "\x1bt\x63";
  const auto t = RenderTicket(tables);
  EXPECT_EQ(t.report.size(), 201u);
  EXPECT_EQ(t.report.back(), "... e mais 2300 avisos");
}

// Skipped commands are summed up: one line per command, with the count and the first offset.
TEST(Render, SkippedCommandsAreCountedOneLineEach) {
  Bytes stream;
  for (int i = 0; i < 2500; ++i) stream += "\x01\x02";
  stream += "\x1bp\x00\x19\xfa" "\x1bp\x00\x19\xfa"s;
  const auto t = RenderTicket(stream);
  ASSERT_EQ(t.report.size(), 3u) << ReportText(t);
  EXPECT_EQ(t.report[0], "byte 0: comando desconhecido SOH ignorado, 2500 vezes ao todo");
  EXPECT_EQ(t.report[1], "byte 1: comando desconhecido STX ignorado, 2500 vezes ao todo");
  EXPECT_EQ(t.report[2], "byte 5000: ESC p ignorado (não desenhado), 2 vezes ao todo");
}

TEST(Render, MissingFontDrawsBoxesAndSaysSo) {
  RenderOptions options;
  options.fontPath = "/no/such/font.ttf";
  const auto t = RenderTicket("a b\n", options);
  EXPECT_GE(InkBox(t).left, 0);
  EXPECT_TRUE(ReportHas(t, "tipo de letra não encontrado (/no/such/font.ttf)"));
}

TEST(Render, QrSettingsSurviveUntilInitialise) {
  // Size 4 is set, then ESC @ restores size 3 before the symbol is stored and printed.
  const Bytes stream =
      "\x1d(k\x03\x00" "1C\x04" "\x1b@" "\x1d(k\x06\x00" "1P0abc" "\x1d(k\x03\x00" "1Q0"s;
  const auto t = RenderTicket(stream);
  ASSERT_EQ(t.symbols.size(), 1u) << ReportText(t);
  EXPECT_EQ(t.symbols[0].moduleSize, 3);
  EXPECT_EQ(t.symbols[0].level, 'L');
}

TEST(Png, OneBitWhenBlackAndWhite) {
  const auto t = RenderTicket("abc\n");
  const auto png = EncodePng(t.width, t.height, t.pixels);
  ASSERT_GT(png.size(), 33u);
  EXPECT_EQ(png[24], 1);  // IHDR bit depth
  std::vector<std::uint8_t> grey = t.pixels;
  grey[0] = 128;
  EXPECT_EQ(EncodePng(t.width, t.height, grey)[24], 8);
  EXPECT_THROW(EncodePng(2, 2, {0, 0, 0}), PngError);
}

TEST(Png, UnwritablePathThrows) {
  const auto t = RenderTicket("abc\n");
  EXPECT_THROW(WritePng(t, "/no/such/dir/x.png"), PngError);
}

// Reads a PNG written by qrticket-view (the CTest chain writer -> drawer -> this) and scans it.
TEST(ViewerFiles, PictureScansBackToTheTicketText) {
  const char* path = std::getenv("QRTICKET_VIEWER_PNG");
  ASSERT_NE(path, nullptr);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, path)) << path;
  image.format = PNG_FORMAT_GRAY;
  RenderedTicket t;
  t.width = static_cast<int>(image.width);
  t.height = static_cast<int>(image.height);
  t.pixels.resize(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, t.pixels.data(), 0, nullptr));
  const auto decoded = testing::DecodeQr(t);
  ASSERT_EQ(decoded.size(), 1u);
  EXPECT_EQ(decoded[0], "Ol\xE1 \x80 1");  // Windows-1252, as the printer received it
}

}  // namespace
}  // namespace qrticket::viewer
