// Printer fonts drawn from a TrueType file with FreeType, as 1-bit cells: font A is 12 x 24
// dots, font B 9 x 17, like a receipt printer's resident fonts.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace qrticket::viewer {

struct CellSize {
  int width;
  int height;
};
inline constexpr CellSize kFontA{12, 24};
inline constexpr CellSize kFontB{9, 17};

// One character cell: ink[row * width + column] is 1 where the dot is black.
struct Glyph {
  CellSize size;
  std::vector<std::uint8_t> ink;
};

// The font file to use: $QRTICKET_VIEWER_FONT, else the path configured at build time, else
// the first of a few usual Debian places that exists; empty when none does.
std::string FindFontPath();

class GlyphFont {
 public:
  // Loads `path`. When it cannot be read, available() is false and every visible character is
  // drawn as a hollow box, so the layout stays right.
  explicit GlyphFont(const std::string& path);
  ~GlyphFont();
  GlyphFont(const GlyphFont&) = delete;
  GlyphFont& operator=(const GlyphFont&) = delete;

  bool available() const;
  // font 0 is font A, 1 font B. Cached: the reference stays valid as long as the font.
  const Glyph& Get(char32_t codePoint, int font);

 private:
  struct FreeType;
  std::unique_ptr<FreeType> freeType_;
  std::map<std::pair<char32_t, int>, Glyph> cache_;
};

}  // namespace qrticket::viewer
