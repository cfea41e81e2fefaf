// The printer's line buffer: characters and column images collect in a band as tall as the
// tallest thing a line can hold, until LF (or a full line) prints them onto the paper. The band
// is drawn into at once, so a line costs the same memory however many characters it held.
#pragma once

#include <cstdint>
#include <vector>

#include "glyph_font.h"
#include "paper.h"

namespace qrticket::viewer {

// How the next characters print (ESC !, ESC E, ESC -, ESC M, GS !, GS B).
struct TextStyle {
  int font = 0;  // 0 font A, 1 font B
  bool bold = false;
  int underline = 0;  // dots
  int widthScale = 1;
  int heightScale = 1;
  bool reverse = false;  // GS B: white on black

  CellSize Cell() const;
};

// Where a line prints: the print area (GS L, GS W), the justification (ESC a) and whether it
// is turned upside down (ESC {). Fixed when the line begins, as printers take these settings
// only at the beginning of a line.
struct LineLayout {
  int areaLeft = 0;
  int areaWidth = 0;
  int justification = 0;  // 0 left, 1 centre, 2 right
  bool upsideDown = false;
};

class LineBuffer {
 public:
  // 8 x 24 dots: font A at eight times its height, the tallest a line can be.
  static constexpr int kBandHeight = 192;

  explicit LineBuffer(int paperWidth);

  // Nothing placed and the position at the start of the line.
  bool empty() const { return empty_ && cursor_ == 0; }
  // Characters and images placed since the line began.
  std::size_t size() const { return placed_; }
  // Fixes where the line prints; called before the first thing is placed.
  void Begin(const LineLayout& layout);
  const LineLayout& layout() const { return layout_; }

  int cursor() const { return cursor_; }
  int room() const { return layout_.areaWidth - cursor_; }
  // Moves the print position within the line (ESC $, ESC \, HT); false when `x` lies outside
  // the print area, which printers ignore.
  bool MoveTo(int x);

  // Places one character cell at the print position, followed by `spacing` dots (ESC SP).
  void PlaceGlyph(const Glyph& glyph, const TextStyle& style, int spacing);
  // Places an image of `columns` columns of `rows` dots; `dotAt(column, row)` tells the ink.
  // Dots past the print area are dropped.
  template <typename DotAt>
  void PlaceImage(int columns, int rows, int scaleX, int scaleY, DotAt dotAt);

  // Height of the tallest thing placed, or 0 for an empty line.
  int tallest() const { return tallest_; }
  // The paper column where something placed at line position `x`, `width` dots wide, prints.
  int PaperX(int x, int width) const;
  // Prints the line with its top at paper row `top`; things of different heights share their
  // bottom edge, as on a printer. Then empties the buffer.
  void PrintOnto(Paper& paper, int top);
  void Clear();

 private:
  std::uint8_t* BandRow(int row) { return band_.data() + static_cast<std::size_t>(row) * width_; }
  void Ink(int x, int row, int w, int h, std::uint8_t value);
  // Notes ink in band columns [left, right) up to `height` rows, and the position reached.
  void Touch(int left, int right, int height, int reached);
  int Shift() const;

  int width_;
  std::vector<std::uint8_t> band_;  // width_ x kBandHeight, 1 where a dot is inked
  LineLayout layout_;
  bool empty_ = true;
  std::size_t placed_ = 0;
  int cursor_ = 0;    // print position from the print area's left edge
  int rightmost_ = 0; // furthest position reached: what justification centres
  int tallest_ = 0;
  int inkLeft_ = 0, inkRight_ = 0;  // columns of the band that may hold ink
};

template <typename DotAt>
void LineBuffer::PlaceImage(int columns, int rows, int scaleX, int scaleY, DotAt dotAt) {
  const int height = std::min(rows * scaleY, kBandHeight);
  const int top = kBandHeight - height;
  const int left = cursor_;
  for (int col = 0; col < columns; ++col) {
    const int x = left + col * scaleX;
    if (x >= layout_.areaWidth) break;
    for (int row = 0; row < rows; ++row) {
      if (dotAt(col, row)) Ink(x, top + row * scaleY, scaleX, scaleY, 1);
    }
  }
  empty_ = false;
  ++placed_;
  cursor_ = std::min(left + columns * scaleX, layout_.areaWidth);
  Touch(left, cursor_, height, cursor_);
}

}  // namespace qrticket::viewer
