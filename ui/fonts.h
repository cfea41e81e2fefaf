// The windows' fonts. The layout was made for MS Sans Serif and Arial, which Linux lacks; both
// become Liberation Sans (fonts-liberation), which has Arial's metrics and so keeps every caption
// inside the box drawn for it.
#pragma once

#include <QFont>

namespace qrticket::ui {

// A sans font of `points` at 96 dpi, given in pixels so the text keeps its size relative to the
// twip layout whatever logical DPI the platform reports.
QFont LayoutFont(double points, bool bold = false);

}  // namespace qrticket::ui
