// Keeping the main window the one that takes the keyboard.
#pragma once

class QWidget;

namespace qrticket::ui {

// Makes `window` active: raised, and asked of the window manager to take the keyboard focus.
// Its focus widget gets the keys from then on.
void Activate(QWidget& window);

// From now on `window` is made active each time it is shown and each time one of the program's
// dialogs (a message box, the preview, a file dialog) closes while it is on screen; when a
// modal dialog is still open, that dialog is made active instead. Window managers that do not
// focus a window kept off the task bar (openbox, for one) would otherwise leave the keys
// going nowhere. The rule lives as long as `window`.
void KeepActive(QWidget& window);

}  // namespace qrticket::ui
