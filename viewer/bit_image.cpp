// Drawing bit images: each run of set dots in a row is inked as one rectangle.
#include "bit_image.h"

#include <algorithm>

namespace qrticket::viewer {
namespace {

bool Bit(BytesView data, std::size_t bitIndex) {
  return (static_cast<unsigned char>(data[bitIndex / 8]) >> (7 - bitIndex % 8)) & 1;
}

// Inks image dots [from, to) of one image row, already known to be set.
void InkRun(Paper& paper, const ImagePlacement& w, int top, int from, int to) {
  const int left = std::max(w.left + from * w.scale.x, w.clipLeft);
  const int right = std::min(w.left + to * w.scale.x, w.clipRight);
  if (right > left) paper.Fill(left, top, right - left, w.scale.y);
}

}  // namespace

std::optional<DotScale> RasterModeScale(std::uint8_t mode) {
  if (mode >= 48) mode -= 48;
  if (mode > 3) return std::nullopt;
  return DotScale{(mode & 1) ? 2 : 1, (mode & 2) ? 2 : 1};
}

void DrawRasterRows(Paper& paper, const ImagePlacement& w, BytesView data, int widthBytes,
                    int rows, int widthDots) {
  if (widthDots <= 0 || widthDots > widthBytes * 8) widthDots = widthBytes * 8;
  for (int row = 0; row < rows; ++row) {
    const int top = w.top + row * w.scale.y;
    if (top >= paper.maxHeight()) return;
    const BytesView line = data.substr(static_cast<std::size_t>(row) * widthBytes, widthBytes);
    for (int x = 0; x < widthDots;) {
      if (x % 8 == 0 && line[x / 8] == 0) {  // a white byte: the common case in receipts
        x += 8;
        continue;
      }
      if (!Bit(line, x)) {
        ++x;
        continue;
      }
      const int start = x;
      while (x < widthDots && Bit(line, x)) ++x;
      InkRun(paper, w, top, start, x);
    }
  }
}

void DrawColumns(Paper& paper, const ImagePlacement& w, BytesView data, int columns,
                 int bytesPerColumn) {
  const int height = bytesPerColumn * 8;
  for (int col = 0; col < columns; ++col) {
    const BytesView column =
        data.substr(static_cast<std::size_t>(col) * bytesPerColumn, bytesPerColumn);
    for (int y = 0; y < height;) {
      if (!Bit(column, y)) {
        ++y;
        continue;
      }
      const int start = y;
      while (y < height && Bit(column, y)) ++y;
      const int left = std::max(w.left + col * w.scale.x, w.clipLeft);
      const int right = std::min(w.left + (col + 1) * w.scale.x, w.clipRight);
      if (right > left) {
        paper.Fill(left, w.top + start * w.scale.y, right - left, (y - start) * w.scale.y);
      }
    }
  }
}

}  // namespace qrticket::viewer
