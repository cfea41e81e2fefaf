// Captions of disabled push buttons that stay readable on the light grey button face.
#pragma once

#include <QColor>

#include "form_layout.h"

class QWidget;

namespace qrticket::ui {

// The layout's disabled caption colour (kDisabledCaption in form_layout.h).
inline const QColor kDisabledCaptionColour(kDisabledCaption.red, kDisabledCaption.green,
                                           kDisabledCaption.blue);

// Every push button inside `window`, now or added later, shows its disabled caption in
// kDisabledCaptionColour, unless the button sets that colour itself.
void KeepDisabledCaptionsReadable(QWidget& window);

}  // namespace qrticket::ui
