// The printer's line buffer: characters collect here until LF (or a full line) prints them.
#pragma once

#include <vector>

#include "glyph_font.h"
#include "paper.h"

namespace qrticket::viewer {

// How the next characters print (ESC !, ESC E, ESC -, ESC M, GS !).
struct TextStyle {
  int font = 0;  // 0 font A, 1 font B
  bool bold = false;
  int underline = 0;  // dots
  int widthScale = 1;
  int heightScale = 1;

  CellSize Cell() const;
};

class LineBuffer {
 public:
  explicit LineBuffer(int paperWidth) : paperWidth_(paperWidth) {}

  // Adds one character; false when it does not fit what is left of the line.
  bool Add(char32_t codePoint, const TextStyle& style);
  // HT: to the next stop, every 8 font A characters; ignored past the last one.
  void Tab();

  bool empty() const { return chars_.empty() && width_ == 0; }
  std::size_t size() const { return chars_.size(); }
  // Height of the tallest character, or 0 for an empty line.
  int tallest() const;
  void Clear();

  // Draws the line with its top at `top`, placed by `justification` (0 left, 1 centre,
  // 2 right); characters of different heights share their bottom edge, as on a printer.
  void Draw(Paper& paper, GlyphFont& font, int top, int justification) const;

 private:
  struct Placed {
    int x;
    char32_t codePoint;
    TextStyle style;
  };
  int paperWidth_;
  int width_ = 0;
  std::vector<Placed> chars_;
};

}  // namespace qrticket::viewer
