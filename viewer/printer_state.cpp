// How the style commands change the printer's settings.
#include "printer_state.h"

namespace qrticket::viewer {

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

}  // namespace qrticket::viewer
