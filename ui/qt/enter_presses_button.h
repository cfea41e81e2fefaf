// Return and the keypad's Enter press the focused push button, as Space does.
#pragma once

class QWidget;

namespace qrticket::ui {

// From now on, in `window`, Return or Enter (without Ctrl, Alt or Shift) on a focused, enabled
// push button clicks it, including buttons added later. A key held down clicks once: its
// repeats are swallowed, so holding Enter on "Imprimir" prints one ticket. Elsewhere (a text
// box, a list) the keys keep their own meaning. The rule lives as long as `window`.
void PressFocusedButtonOnEnter(QWidget& window);

}  // namespace qrticket::ui
