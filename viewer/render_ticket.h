// The virtual printer's entry point: ESC/POS bytes in, a picture of the paper and a report out.
// Plain C++ (no Qt), so a window can call it and show `pixels` as an 8-bit grey image.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bytes.h"

namespace qrticket::viewer {

inline constexpr int kPaperWidth80mm = 576;  // dots at 203 dpi
inline constexpr int kPaperWidth58mm = 384;

struct RenderOptions {
  int paperWidth = kPaperWidth80mm;
  // Longest paper drawn, in dots (about 7.5 m); feeds past it are clipped and reported.
  int maxHeight = 60000;
  // Font file; empty means FindFontPath().
  std::string fontPath;
};

// One QR symbol the stream asked for and the printer drew.
struct RenderedSymbol {
  std::string command;  // "GS ( k" or "ESC Z"
  bool micro = false;
  int version = 0;
  char level = 'L';
  int moduleSize = 0;
  Bytes data;           // the bytes encoded
  int x = 0, y = 0;     // top-left corner on the paper, in dots
  int sizeDots = 0;     // width and height, without quiet zone
};

// One image or bar code the printer drew (QR symbols included), where it landed on the paper.
struct DrawnElement {
  std::string command;  // "GS v 0", "ESC *", "GS k", "GS ( k"...
  std::string kind;     // "imagem", "CODE128", "PDF417", "QR"...
  int x = 0, y = 0;     // top-left corner, in dots
  int width = 0, height = 0;
};

struct RenderedTicket {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // width * height, row by row; 255 white, 0 black
  std::vector<std::string> report;   // Portuguese, UTF-8, one line per notable event
  std::vector<RenderedSymbol> symbols;
  std::vector<DrawnElement> elements;  // in the order they were printed
};

// Never throws for any input bytes; what the printer would skip or refuse is in the report.
RenderedTicket RenderTicket(BytesView stream, const RenderOptions& options = {});

}  // namespace qrticket::viewer
