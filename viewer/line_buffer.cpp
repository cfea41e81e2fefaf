// Laying out one printed line in the band and copying it onto the paper.
#include "line_buffer.h"

#include <algorithm>

namespace qrticket::viewer {

CellSize TextStyle::Cell() const {
  const CellSize base = font == 1 ? kFontB : kFontA;
  return {base.width * widthScale, base.height * heightScale};
}

LineBuffer::LineBuffer(int paperWidth)
    : width_(std::max(paperWidth, 1)),
      band_(static_cast<std::size_t>(width_) * kBandHeight, 0) {
  layout_.areaWidth = width_;
}

void LineBuffer::Begin(const LineLayout& layout) {
  layout_ = layout;
  layout_.areaLeft = std::clamp(layout_.areaLeft, 0, width_ - 1);
  layout_.areaWidth = std::clamp(layout_.areaWidth, 1, width_ - layout_.areaLeft);
}

bool LineBuffer::MoveTo(int x) {
  if (x < 0 || x > layout_.areaWidth) return false;
  cursor_ = x;
  rightmost_ = std::max(rightmost_, x);
  return true;
}

void LineBuffer::Ink(int x, int row, int w, int h, std::uint8_t value) {
  const int left = std::max(x, 0), right = std::min(x + w, layout_.areaWidth);
  const int top = std::max(row, 0), bottom = std::min(row + h, kBandHeight);
  for (int r = top; r < bottom; ++r) {
    if (right > left) std::fill(BandRow(r) + left, BandRow(r) + right, value);
  }
}

void LineBuffer::Touch(int left, int right, int height, int reached) {
  if (inkRight_ <= inkLeft_) {
    inkLeft_ = left;
    inkRight_ = right;
  } else {
    inkLeft_ = std::min(inkLeft_, left);
    inkRight_ = std::max(inkRight_, right);
  }
  rightmost_ = std::max(rightmost_, reached);
  tallest_ = std::max(tallest_, height);
}

void LineBuffer::PlaceGlyph(const Glyph& glyph, const TextStyle& style, int spacing) {
  const int sx = style.widthScale, sy = style.heightScale;
  const int cellWidth = glyph.size.width * sx + spacing;
  const int height = std::min(glyph.size.height * sy, kBandHeight);
  const int top = kBandHeight - height;
  const int left = cursor_;
  const std::uint8_t ink = style.reverse ? 0 : 1;
  if (style.reverse) Ink(left, top, cellWidth, height, 1);
  for (int row = 0; row < glyph.size.height; ++row) {
    const std::uint8_t* dots = glyph.ink.data() + static_cast<std::size_t>(row) * glyph.size.width;
    for (int col = 0; col < glyph.size.width; ++col) {
      // Emphasis strikes each dot twice, the second one dot to the right.
      if (dots[col]) Ink(left + col * sx, top + row * sy, sx + (style.bold ? 1 : 0), sy, ink);
    }
  }
  // Underline runs under the character and its right-side spacing; in reverse it would not
  // show, and printers leave it out there.
  if (style.underline > 0 && !style.reverse) {
    Ink(left, kBandHeight - style.underline, cellWidth, style.underline, 1);
  }
  empty_ = false;
  ++placed_;
  cursor_ = std::min(left + cellWidth, layout_.areaWidth);
  // The emphasis dot may reach one column past the cell.
  Touch(left, std::min(cursor_ + 1, layout_.areaWidth), height, cursor_);
}

int LineBuffer::Shift() const {
  const int room = std::max(layout_.areaWidth - rightmost_, 0);
  return layout_.justification == 1 ? room / 2 : layout_.justification == 2 ? room : 0;
}

int LineBuffer::PaperX(int x, int width) const {
  const int inArea = Shift() + x;
  return layout_.areaLeft +
         (layout_.upsideDown ? layout_.areaWidth - inArea - width : inArea);
}

void LineBuffer::PrintOnto(Paper& paper, int top) {
  const int height = tallest_;
  if (height > 0 && inkRight_ > inkLeft_) {
    const int shift = Shift();
    paper.Extend(top + height);
    for (int r = 0; r < height; ++r) {
      const std::uint8_t* band = BandRow(kBandHeight - height + r);
      // Upside down, the whole print area turns half a circle: the last row prints first and
      // the line reads from the right.
      const int row = layout_.upsideDown ? top + height - 1 - r : top + r;
      std::uint8_t* out = paper.Row(row);
      if (out == nullptr) continue;
      for (int x = inkLeft_; x < inkRight_; ++x) {
        if (!band[x]) continue;
        const int inArea = shift + x;
        const int px = layout_.areaLeft +
                       (layout_.upsideDown ? layout_.areaWidth - 1 - inArea : inArea);
        if (px >= 0 && px < paper.width()) out[px] = Paper::kInk;
      }
    }
  }
  Clear();
}

void LineBuffer::Clear() {
  if (inkRight_ > inkLeft_) {
    for (int r = kBandHeight - tallest_; r < kBandHeight; ++r) {
      std::fill(BandRow(r) + inkLeft_, BandRow(r) + inkRight_, 0);
    }
  }
  empty_ = true;
  placed_ = 0;
  cursor_ = rightmost_ = tallest_ = 0;
  inkLeft_ = inkRight_ = 0;
}

}  // namespace qrticket::viewer
