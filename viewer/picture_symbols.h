// QR symbols read back from dots that pictures put on the paper (GS v 0, ESC *, GS ( L): there
// the printer only knows dots, so the data, the level and the version come from decoding the
// drawing, and the size from measuring it.
#pragma once

#include <cstdint>
#include <vector>

#include "devices/bytes.h"

namespace qrticket::viewer {

struct PictureSymbol {
  Bytes data;                // the bytes the symbol holds
  char level = 'L';
  int version = 0;           // 0 when the measured size fits no version
  bool micro = false;
  int x = 0, y = 0;          // top-left corner in the picture, in dots
  int width = 0, height = 0; // without the quiet zone
  double moduleWidth = 0, moduleHeight = 0;  // dots per module, across and down
};

// A grey picture as the paper holds it: 0 ink, 255 paper, row after row.
struct GreyView {
  const std::uint8_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  bool Ink(int x, int y) const {
    return x >= 0 && y >= 0 && x < width && y < height &&
           pixels[static_cast<std::size_t>(y) * width + x] < 128;
  }
};

// Whether this build decodes pictures at all (the Windows build has no decoder library yet).
extern const bool kReadsPictureSymbols;

// Every QR and Micro QR symbol in `picture`, which must leave a white quiet zone around each.
std::vector<PictureSymbol> ReadPictureSymbols(const GreyView& picture);

// The module size and version of a symbol whose outline (`x`, `y`, `width`, `height`) was
// found in `picture`, measured on a finder pattern (7 modules across) in one of its corners.
// Leaves `symbol` without version when no corner holds a finder pattern or the count of
// modules is no symbol's.
void MeasureModules(const GreyView& picture, PictureSymbol& symbol);

}  // namespace qrticket::viewer
