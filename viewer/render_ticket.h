// The virtual printer's entry point: ESC/POS bytes in, a picture of the paper and a report out.
// Plain C++ (no Qt), so a window can call it and show `pixels` as an 8-bit grey image.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "devices/bytes.h"
#include "devices/code_tables.h"
#include "portaria/portaria_symbol.h"

namespace qrticket::viewer {

inline constexpr int kPaperWidth80mm = 576;  // dots at 203 dpi
inline constexpr int kPaperWidth58mm = 384;

// The longest input read: a file mistaken for a ticket, or a sender that never stops, must end.
inline constexpr std::uint64_t kMaxInputBytes = 64ull * 1024 * 1024;

struct RenderOptions {
  int paperWidth = kPaperWidth80mm;
  // Longest paper drawn, in dots (about 7.5 m): the raster is at most paperWidth x maxHeight
  // bytes (33 MiB at 80 mm). Feeds past it are clipped and reported.
  int maxHeight = 60000;
  // Input past this many bytes is not read, and the report says so.
  std::uint64_t maxInputBytes = kMaxInputBytes;
  // Font file; empty means FindFontPath().
  std::string fontPath;
  // Asked before the paper grows by `bytes` (see Paper::MayGrow); false ends the paper there,
  // and the report says memory ran out.
  std::function<bool(std::uint64_t bytes)> mayGrow;
  // The code table (ESC t's number) the printer is at before any ESC t, and again after ESC @:
  // PC437, a printer's factory setting, unless told otherwise. A number not drawn means PC437.
  int codeTable = kFactoryCodeTable;
  // The printer's density (180, 203 or 300 dpi): the drawing stays in dots, the report measures
  // invoice QR symbols in mm at it.
  int dpi = portaria::kDefaultDpi;
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
  // Portuguese, UTF-8, one line per notable event; first the characters that printed as
  // others at the code table in force.
  std::vector<std::string> report;
  std::vector<RenderedSymbol> symbols;
  std::vector<DrawnElement> elements;  // in the order they were printed (the first 1000)
  std::uint64_t bytesRead = 0;         // input bytes drawn (at most maxInputBytes)
};

// Draws a stream that arrives in pieces: memory stays bounded by the paper raster and a
// constant, however long the stream is. Feed never throws for any bytes.
class TicketRenderer {
 public:
  explicit TicketRenderer(const RenderOptions& options = {});
  ~TicketRenderer();
  TicketRenderer(const TicketRenderer&) = delete;
  TicketRenderer& operator=(const TicketRenderer&) = delete;

  // Draws what `bytes` completes. Returns false once maxInputBytes have been read: the rest
  // of `bytes` and whatever follows is not drawn (and the report says so).
  bool Feed(BytesView bytes);
  // The input's full size, when the caller knows it (a file), for the report of a cut input.
  void SetInputSize(std::uint64_t bytes);
  // Ends the stream and hands over the picture; call once.
  RenderedTicket Finish();

  class Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// The whole stream at once. Never throws for any input bytes; what the printer would skip or
// refuse is in the report.
RenderedTicket RenderTicket(BytesView stream, const RenderOptions& options = {});

}  // namespace qrticket::viewer
