// The push buttons' light grey face (RGB 192, 192, 192), drawn by the program: Windows draws
// its own push buttons in the system's (or the theme's) colours whatever the window asks.
#pragma once

#include <windows.h>

namespace qrticket::ui {

// WM_DRAWITEM of an owner-drawn push button: the grey face with a raised edge (sunken while
// pressed), the caption centred (dark grey when disabled), and the focus rectangle.
void DrawGreyButton(const DRAWITEMSTRUCT& item);

}  // namespace qrticket::ui
