// Laying out and drawing one printed line.
#include "line_buffer.h"

#include <algorithm>

namespace qrticket::viewer {

CellSize TextStyle::Cell() const {
  const CellSize base = font == 1 ? kFontB : kFontA;
  return {base.width * widthScale, base.height * heightScale};
}

bool LineBuffer::Add(char32_t codePoint, const TextStyle& style) {
  const int width = style.Cell().width;
  if (width_ + width > paperWidth_) return false;
  chars_.push_back({width_, codePoint, style});
  width_ += width;
  return true;
}

void LineBuffer::Tab() {
  constexpr int kTabStop = 8 * kFontA.width;
  const int next = (width_ / kTabStop + 1) * kTabStop;
  if (next <= paperWidth_) width_ = next;
}

int LineBuffer::tallest() const {
  int height = 0;
  for (const Placed& c : chars_) height = std::max(height, c.style.Cell().height);
  return height;
}

void LineBuffer::Clear() {
  chars_.clear();
  width_ = 0;
}

void LineBuffer::Draw(Paper& paper, GlyphFont& font, int top, int justification) const {
  const int shift = justification == 1   ? (paperWidth_ - width_) / 2
                    : justification == 2 ? paperWidth_ - width_
                                         : 0;
  const int lineHeight = tallest();
  paper.Extend(top + lineHeight);
  for (const Placed& c : chars_) {
    const Glyph& glyph = font.Get(c.codePoint, c.style.font);
    const int sx = c.style.widthScale, sy = c.style.heightScale;
    const int left = shift + c.x;
    const int cellTop = top + lineHeight - glyph.size.height * sy;
    for (int row = 0; row < glyph.size.height; ++row) {
      for (int col = 0; col < glyph.size.width; ++col) {
        if (!glyph.ink[row * glyph.size.width + col]) continue;
        // Emphasis strikes each dot twice, the second one dot to the right.
        paper.Fill(left + col * sx, cellTop + row * sy, sx + (c.style.bold ? 1 : 0), sy);
      }
    }
    if (c.style.underline > 0) {
      paper.Fill(left, top + lineHeight - c.style.underline, glyph.size.width * sx,
                 c.style.underline);
    }
  }
}

}  // namespace qrticket::viewer
