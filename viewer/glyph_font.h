// Printer fonts drawn from a TrueType file with FreeType, as 1-bit cells: font A is 12 x 24
// dots, font B 9 x 17, like a receipt printer's resident fonts.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
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

// The font file to use: $QRTICKET_VIEWER_FONT, else on Linux the path configured at build time,
// else the first of a few usual Debian places that exists; empty when none does. Which places
// is the platform's (font_files.cpp, win/font_files.cpp).
std::string FindFontPath();

// The font compiled into the program, or nothing. The Windows build carries DejaVu Sans Mono
// (Windows has no copy of it), so that every program draws the same glyphs as the Linux build
// with no file beside it; the Linux build reads the system's file.
std::string_view BuiltInFont();

class GlyphFont {
 public:
  // Loads `path`, or the built-in font when `path` is empty. When neither can be read,
  // available() is false and every visible character is drawn as a hollow box, so the layout
  // stays right.
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
