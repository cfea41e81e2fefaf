// Bit images as printers receive them (rows of bytes, most significant bit leftmost, or columns
// of bytes, most significant bit on top), drawn onto the paper with their scale factors.
#pragma once

#include <cstdint>
#include <optional>

#include "devices/bytes.h"
#include "paper.h"

namespace qrticket::viewer {

// How many paper dots one image dot takes each way.
struct DotScale {
  int x = 1;
  int y = 1;
};

// GS v 0's m: 0/48 normal, 1/49 double width, 2/50 double height, 3/51 both. nullopt for
// any other value.
std::optional<DotScale> RasterModeScale(std::uint8_t mode);

// Where an image lands and which part of the paper it may ink.
struct ImagePlacement {
  int left = 0;       // paper column of the image's first dot
  int top = 0;        // paper row of its first row
  int clipLeft = 0;   // dots outside [clipLeft, clipRight) are read and dropped, as printers do
  int clipRight = 0;
  DotScale scale;
};

// Draws `rows` rows of `widthBytes` bytes each, row after row; only the first `widthDots` dots
// of each row are the picture (the rest pad the row to whole bytes), all of them when 0.
void DrawRasterRows(Paper& paper, const ImagePlacement& where, BytesView data, int widthBytes,
                    int rows, int widthDots = 0);

// Draws `columns` columns of `bytesPerColumn` bytes each, column after column, the first byte's
// top bit on the top row.
void DrawColumns(Paper& paper, const ImagePlacement& where, BytesView data, int columns,
                 int bytesPerColumn);

}  // namespace qrticket::viewer
