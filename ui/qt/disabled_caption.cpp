// Readable captions on disabled push buttons (see disabled_caption.h).
#include "disabled_caption.h"

#include <QPalette>
#include <QWidget>

namespace qrticket::ui {

// Set on the window, so every child inherits it: a button that sets only its face colour
// keeps this caption colour.
void KeepDisabledCaptionsReadable(QWidget& window) {
  QPalette palette = window.palette();
  palette.setColor(QPalette::Disabled, QPalette::ButtonText, kDisabledCaptionColour);
  window.setPalette(palette);
}

}  // namespace qrticket::ui
