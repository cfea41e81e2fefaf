// FreeType glyphs rendered monochrome into fixed printer cells, with the baseline where a
// receipt printer puts it (descenders inside the cell).
#include "glyph_font.h"

#include <ft2build.h>
#include FT_FREETYPE_H

namespace qrticket::viewer {
namespace {

struct FontMetrics {
  CellSize cell;
  int pixelSize;  // FreeType size whose advance is the cell width for a 0.6 em mono font
  int baseline;   // rows from the top of the cell
};
constexpr FontMetrics kMetrics[2] = {{kFontA, 20, 19}, {kFontB, 15, 13}};

Glyph EmptyGlyph(CellSize size) {
  return {size, std::vector<std::uint8_t>(static_cast<std::size_t>(size.width) * size.height)};
}

Glyph BoxGlyph(CellSize size) {
  Glyph g = EmptyGlyph(size);
  for (int y = 3; y < size.height - 3; ++y) {
    for (int x = 1; x < size.width - 1; ++x) {
      if (y == 3 || y == size.height - 4 || x == 1 || x == size.width - 2) {
        g.ink[y * size.width + x] = 1;
      }
    }
  }
  return g;
}

}  // namespace

struct GlyphFont::FreeType {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  ~FreeType() {
    if (face) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
  }
};

GlyphFont::GlyphFont(const std::string& path) : freeType_(std::make_unique<FreeType>()) {
  const std::string_view builtIn = path.empty() ? BuiltInFont() : std::string_view();
  if ((path.empty() && builtIn.empty()) || FT_Init_FreeType(&freeType_->library) != 0) return;
  const FT_Error error =
      path.empty()
          ? FT_New_Memory_Face(freeType_->library,
                               reinterpret_cast<const FT_Byte*>(builtIn.data()),
                               static_cast<FT_Long>(builtIn.size()), 0, &freeType_->face)
          : FT_New_Face(freeType_->library, path.c_str(), 0, &freeType_->face);
  if (error != 0) freeType_->face = nullptr;
}

GlyphFont::~GlyphFont() = default;

bool GlyphFont::available() const { return freeType_->face != nullptr; }

const Glyph& GlyphFont::Get(char32_t codePoint, int font) {
  font = font == 1 ? 1 : 0;
  const auto key = std::make_pair(codePoint, font);
  if (auto it = cache_.find(key); it != cache_.end()) return it->second;

  const FontMetrics& m = kMetrics[font];
  Glyph glyph = EmptyGlyph(m.cell);
  FT_Face face = freeType_->face;
  if (!face) {
    if (codePoint != U' ') glyph = BoxGlyph(m.cell);
  } else if (FT_Set_Pixel_Sizes(face, 0, m.pixelSize) == 0 &&
             FT_Load_Char(face, codePoint, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) == 0) {
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    const int left = face->glyph->bitmap_left;
    const int top = m.baseline - face->glyph->bitmap_top;
    for (int row = 0; row < static_cast<int>(bitmap.rows); ++row) {
      for (int col = 0; col < static_cast<int>(bitmap.width); ++col) {
        const unsigned char* line = bitmap.buffer + row * bitmap.pitch;
        const bool on = bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                            ? (line[col / 8] >> (7 - col % 8)) & 1
                            : line[col] >= 128;
        const int x = left + col, y = top + row;
        if (on && x >= 0 && x < m.cell.width && y >= 0 && y < m.cell.height) {
          glyph.ink[y * m.cell.width + x] = 1;
        }
      }
    }
  }
  return cache_.emplace(key, std::move(glyph)).first->second;
}

}  // namespace qrticket::viewer
