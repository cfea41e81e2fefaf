// The printer's settings between commands: character style, justification, line spacing and
// whether page mode was asked for. ESC @ brings every one back to its power-on value.
#pragma once

#include "escpos_events.h"
#include "line_buffer.h"

namespace qrticket::viewer {

inline constexpr int kDefaultLineSpacing = 30;  // dots: about 1/6 inch, the printers' default

struct PrinterState {
  TextStyle style;
  int justification = 0;  // 0 left, 1 centre, 2 right
  int lineSpacing = kDefaultLineSpacing;
  bool pageMode = false;

  void Reset() { *this = PrinterState(); }
  void Apply(const Justify& e);
  void Apply(const Emphasis& e) { style.bold = e.on; }
  void Apply(const Underline& e) { style.underline = e.dots; }
  void Apply(const PrintMode& e);
  void Apply(const SelectFont& e) { style.font = e.font; }
  void Apply(const CharacterSize& e);
  void Apply(const LineSpacing& e) { lineSpacing = e.dots < 0 ? kDefaultLineSpacing : e.dots; }
};

}  // namespace qrticket::viewer
