// Bitmaps made by rule and read back from rendered paper.
#include "test_bitmap.h"

namespace qrticket::viewer::testing {

TestBitmap TestBitmap::Scaled(int sx, int sy) const {
  TestBitmap out{width * sx, height * sy, {}};
  out.dots.resize(static_cast<std::size_t>(out.width) * out.height);
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) {
      out.dots[static_cast<std::size_t>(y) * out.width + x] = At(x / sx, y / sy);
    }
  }
  return out;
}

namespace {
template <typename Rule>
TestBitmap Make(int width, int height, Rule rule) {
  TestBitmap b{width, height, {}};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) b.dots.push_back(rule(x, y) ? 1 : 0);
  }
  return b;
}
}  // namespace

TestBitmap Checkerboard(int width, int height) {
  return Make(width, height, [](int x, int y) { return (x + y) % 2 == 0; });
}

TestBitmap Frame(int width, int height) {
  return Make(width, height, [=](int x, int y) {
    return x == 0 || y == 0 || x == width - 1 || y == height - 1 ||
           (x == width / 2 && y == height / 2);
  });
}

TestBitmap Corners(int width, int height) {
  return Make(width, height, [=](int x, int y) {
    return (x == 0 || x == width - 1) && (y == 0 || y == height - 1);
  });
}

Bytes RasterBytes(const TestBitmap& b) {
  const int widthBytes = (b.width + 7) / 8;
  Bytes out(static_cast<std::size_t>(widthBytes) * b.height, '\0');
  for (int y = 0; y < b.height; ++y) {
    for (int x = 0; x < b.width; ++x) {
      if (b.At(x, y)) out[static_cast<std::size_t>(y) * widthBytes + x / 8] |= char(0x80 >> (x % 8));
    }
  }
  return out;
}

Bytes ColumnBytes(const TestBitmap& b) {
  const int bytesPerColumn = (b.height + 7) / 8;
  Bytes out(static_cast<std::size_t>(bytesPerColumn) * b.width, '\0');
  for (int x = 0; x < b.width; ++x) {
    for (int y = 0; y < b.height; ++y) {
      if (b.At(x, y)) out[static_cast<std::size_t>(x) * bytesPerColumn + y / 8] |= char(0x80 >> (y % 8));
    }
  }
  return out;
}

TestBitmap ReadBack(const RenderedTicket& t, int x0, int y0, int width, int height) {
  return Make(width, height, [&](int x, int y) {
    const int px = x0 + x, py = y0 + y;
    if (px < 0 || py < 0 || px >= t.width || py >= t.height) return false;
    return t.pixels[static_cast<std::size_t>(py) * t.width + px] < 128;
  });
}

std::string Picture(const TestBitmap& b) {
  std::string out = std::to_string(b.width) + "x" + std::to_string(b.height) + "\n";
  for (int y = 0; y < b.height && y < 64; ++y) {
    for (int x = 0; x < b.width && x < 120; ++x) out += b.At(x, y) ? '#' : '.';
    out += '\n';
  }
  return out;
}

std::size_t InkCount(const RenderedTicket& t) {
  std::size_t n = 0;
  for (const auto p : t.pixels) n += p < 128;
  return n;
}

Box InkBox(const RenderedTicket& t) {
  Box b;
  for (int y = 0; y < t.height; ++y) {
    for (int x = 0; x < t.width; ++x) {
      if (t.pixels[static_cast<std::size_t>(y) * t.width + x] >= 128) continue;
      if (b.left < 0 || x < b.left) b.left = x;
      if (x > b.right) b.right = x;
      if (b.top < 0) b.top = y;
      b.bottom = y;
    }
  }
  return b;
}

}  // namespace qrticket::viewer::testing
