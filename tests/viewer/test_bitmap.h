// Hand-made bitmaps for the image tests, and the same bitmap read back from a rendering.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "devices/bytes.h"
#include "render_ticket.h"

namespace qrticket::viewer::testing {

struct TestBitmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> dots;  // 1 black, row after row

  bool At(int x, int y) const { return dots[static_cast<std::size_t>(y) * width + x] != 0; }
  // The bitmap with each dot repeated sx times across and sy times down.
  TestBitmap Scaled(int sx, int sy) const;
};

TestBitmap Checkerboard(int width, int height);
// A one-dot frame around a white inside, with one dot in the middle.
TestBitmap Frame(int width, int height);
// A lone dot in each corner, everything else white: shows any shift by one dot.
TestBitmap Corners(int width, int height);

// Rows of ceil(width / 8) bytes, most significant bit leftmost, the last byte padded white.
Bytes RasterBytes(const TestBitmap& bitmap);
// Columns of ceil(height / 8) bytes, most significant bit on top.
Bytes ColumnBytes(const TestBitmap& bitmap);

// The rectangle of the rendering at (x, y), as a bitmap (dark pixels are 1).
TestBitmap ReadBack(const RenderedTicket& ticket, int x, int y, int width, int height);

// "width x height" and the rows as '#' and '.', for failure messages.
std::string Picture(const TestBitmap& bitmap);

// Number of dark pixels in the rendering.
std::size_t InkCount(const RenderedTicket& ticket);

// The inked bounding box of a rendering (inclusive), or all -1 when it is blank.
struct Box {
  int left = -1, top = -1, right = -1, bottom = -1;
};
Box InkBox(const RenderedTicket& ticket);

}  // namespace qrticket::viewer::testing
