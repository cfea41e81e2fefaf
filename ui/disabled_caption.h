// Captions of disabled push buttons that stay readable on the light grey button face.
#pragma once

#include <QColor>

class QWidget;

namespace qrticket::ui {

// Dark grey: 3.5:1 against the buttons' face (192, 192, 192), readable by the usual measure
// for large text and controls (at least 3:1), yet plainly lighter than an enabled caption's
// black. Qt's own disabled grey is about 1.1:1 on that face.
inline const QColor kDisabledCaption(96, 96, 96);

// Every push button inside `window`, now or added later, shows its disabled caption in
// kDisabledCaption, unless the button sets that colour itself.
void KeepDisabledCaptionsReadable(QWidget& window);

}  // namespace qrticket::ui
