// The printer's settings between commands: character style, code table, justification, line
// spacing, print area, positions' motion units, tab stops and bar code settings. ESC @ brings
// every one back to its power-on value (the code table to the one the printer started at).
#pragma once

#include <array>

#include "devices/code_tables.h"
#include "escpos_events.h"
#include "line_buffer.h"

namespace qrticket::viewer {

inline constexpr int kDefaultLineSpacing = 30;  // dots: about 1/6 inch, the printers' default
inline constexpr int kDotsPerInch = 203;

// GS h, GS w, GS H, GS f.
struct BarcodeStyle {
  int height = 162;   // dots
  int moduleWidth = 3;
  int hriPosition = 0;  // 0 none, 1 above, 2 below, 3 both
  int hriFont = 0;      // 0 font A, 1 font B
};

struct PrinterState {
  // `startTable`: the code table in force without ESC t (nullptr: the factory table, PC437).
  PrinterState(int paperWidth, const CodeTableInfo* startTable)
      : paperWidth(paperWidth),
        startTable(startTable != nullptr ? startTable : FindCodeTable(kFactoryCodeTable)),
        codeTable(this->startTable),
        printWidth(paperWidth) {}

  int paperWidth;
  const CodeTableInfo* startTable;
  TextStyle style;
  int justification = 0;  // 0 left, 1 centre, 2 right
  int lineSpacing = kDefaultLineSpacing;  // dots
  bool pageMode = false;
  const CodeTableInfo* codeTable;
  bool kanji = false;
  int charSpacing = 0;  // dots after each character (ESC SP)
  int leftMargin = 0;   // dots (GS L)
  int printWidth;       // dots (GS W)
  int motionX = kDotsPerInch, motionY = kDotsPerInch;  // GS P: units of 1/x and 1/y inch
  bool upsideDown = false;
  // HT stops in dots from the print area's left edge; the default is every 8 characters.
  std::array<int, 32> tabStops{};
  int tabStopCount = -1;  // -1: the default stops
  BarcodeStyle barcode;

  void Reset() { *this = PrinterState(paperWidth, startTable); }

  // Motion units to dots, truncated as printers truncate to their mechanical pitch.
  int HorizontalDots(int units) const { return units * kDotsPerInch / motionX; }
  int VerticalDots(int units) const { return units * kDotsPerInch / motionY; }

  // The print area a line starting now takes.
  LineLayout Layout() const;
  // The next tab stop after `x`, or -1 when there is none within `areaWidth`.
  int NextTabStop(int x, int areaWidth) const;

  void Apply(const Justify& e);
  void Apply(const Emphasis& e) { style.bold = e.on; }
  void Apply(const Underline& e) { style.underline = e.dots; }
  void Apply(const PrintMode& e);
  void Apply(const SelectFont& e) { style.font = e.font; }
  void Apply(const CharacterSize& e);
  void Apply(const LineSpacing& e);
  void Apply(const CharacterSpacing& e) { charSpacing = HorizontalDots(e.units); }
  void Apply(const MotionUnits& e);
  void Apply(const UpsideDown& e) { upsideDown = e.on; }
  void Apply(const Reverse& e) { style.reverse = e.on; }
  void Apply(const TabStops& e);
  // False when the value is outside the command's range (the setting stays).
  bool Apply(const BarcodeSetting& e);
};

}  // namespace qrticket::viewer
