// The windows' fonts. The layout was made for MS Sans Serif and Arial, which Linux lacks; both
// become Liberation Sans (fonts-liberation), which has Arial's metrics and so keeps every caption
// inside the box drawn for it.
#pragma once

#include <QFont>

#include "form_layout.h"

namespace qrticket::ui {

// A sans font of `points` at 96 dpi, given in pixels so the text keeps its size relative to the
// twip layout whatever logical DPI the platform reports.
QFont LayoutFont(double points, bool bold = false);
// The same for a font of the layout tables (its face is not looked at).
inline QFont LayoutFont(const FontSpec& font) { return LayoutFont(font.points, font.bold); }

}  // namespace qrticket::ui
