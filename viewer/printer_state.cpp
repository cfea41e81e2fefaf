// How the setting commands change the printer's settings.
#include "printer_state.h"

#include <algorithm>

namespace qrticket::viewer {

LineLayout PrinterState::Layout() const {
  LineLayout layout;
  layout.areaLeft = std::min(leftMargin, paperWidth - 1);
  // A print area reaching past the paper ends at the paper's edge.
  layout.areaWidth = std::clamp(printWidth, 1, paperWidth - layout.areaLeft);
  layout.justification = justification;
  layout.upsideDown = upsideDown;
  return layout;
}

int PrinterState::NextTabStop(int x, int areaWidth) const {
  if (tabStopCount < 0) {
    constexpr int kEvery = 8 * kFontA.width;
    const int next = (x / kEvery + 1) * kEvery;
    return next <= areaWidth ? next : -1;
  }
  for (int i = 0; i < tabStopCount; ++i) {
    if (tabStops[i] > x && tabStops[i] <= areaWidth) return tabStops[i];
  }
  return -1;
}

// ESC a n: 0..2 and '0'..'2' both select; any other value leaves the justification as it was.
void PrinterState::Apply(const Justify& e) {
  const int mode = e.mode >= '0' ? e.mode - '0' : e.mode;
  if (mode >= 0 && mode <= 2) justification = mode;
}

// ESC ! n sets font, emphasis, double height, double width and underline all at once.
void PrinterState::Apply(const PrintMode& e) {
  style.font = e.bits & 0x01;
  style.bold = (e.bits & 0x08) != 0;
  style.heightScale = (e.bits & 0x10) ? 2 : 1;
  style.widthScale = (e.bits & 0x20) ? 2 : 1;
  style.underline = (e.bits & 0x80) ? 1 : 0;
}

void PrinterState::Apply(const CharacterSize& e) {
  style.widthScale = e.width;
  style.heightScale = e.height;
}

void PrinterState::Apply(const LineSpacing& e) {
  lineSpacing = e.units < 0 ? kDefaultLineSpacing : VerticalDots(e.units);
}

// GS P x y: 0 brings back the default unit for that direction.
void PrinterState::Apply(const MotionUnits& e) {
  motionX = e.x == 0 ? kDotsPerInch : e.x;
  motionY = e.y == 0 ? kDotsPerInch : e.y;
}

// ESC D n1..nk: stops at n characters of the current width (with its spacing), rising; a
// stop not past the one before ends the list. No stops at all clears them.
void PrinterState::Apply(const TabStops& e) {
  const int column = style.Cell().width + charSpacing;
  tabStopCount = 0;
  int last = 0;
  for (const char c : e.columns) {
    const int n = static_cast<unsigned char>(c);
    if (n <= last || tabStopCount == static_cast<int>(tabStops.size())) break;
    tabStops[tabStopCount++] = n * column;
    last = n;
  }
}

// The ranges of the public ESC/POS command references: GS h 1..255, GS w 2..6, GS H 0..3 or
// '0'..'3', GS f 0..1 or '0'..'1'. A value outside is ignored and the setting stays.
bool PrinterState::Apply(const BarcodeSetting& e) {
  const int n = e.value;
  switch (e.which) {
    case 'h':
      if (n < 1) return false;
      barcode.height = n;
      return true;
    case 'w':
      if (n < 2 || n > 6) return false;
      barcode.moduleWidth = n;
      return true;
    case 'H': {
      const int position = n >= '0' ? n - '0' : n;
      if (position < 0 || position > 3) return false;
      barcode.hriPosition = position;
      return true;
    }
    case 'f': {
      const int font = n >= '0' ? n - '0' : n;
      if (font < 0 || font > 1) return false;
      barcode.hriFont = font;
      return true;
    }
  }
  return false;
}

}  // namespace qrticket::viewer
