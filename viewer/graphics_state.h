// The graphics functions of GS ( L and GS 8 L: fn 112 and 113 store a picture in the print
// buffer (rows or columns of dots), fn 50 prints it. Defining, listing and printing pictures
// kept in the printer's own memory (NV and download graphics) is reported, not drawn.
#pragma once

#include <optional>
#include <string>

#include "bit_image.h"
#include "escpos_events.h"
#include "render_report.h"

namespace qrticket::viewer {

struct StoredGraphic {
  std::size_t offset = 0;
  std::string command;  // "GS ( L" or "GS 8 L"
  bool columns = false; // fn 113: columns of bytes, top bit first; fn 112: rows
  int width = 0;        // dots
  int height = 0;
  DotScale scale;
  Bytes data;
};

class GraphicsState {
 public:
  void Reset() { stored_.reset(); }

  // Applies one function; fn 50 (or 2) returns the stored picture, which then leaves the
  // buffer, as printing empties it.
  std::optional<StoredGraphic> Apply(const GraphicsFunction& function, Report& report);

 private:
  void Store(const GraphicsFunction& f, bool columns, Report& report);
  std::optional<StoredGraphic> stored_;
};

}  // namespace qrticket::viewer
