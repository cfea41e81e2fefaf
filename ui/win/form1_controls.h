// Form1's controls on Win32: their identifiers, given by their rows in the layout table.
#pragma once

#include "form_layout.h"

namespace qrticket::ui {

// The control of row n of Form1's table has the identifier kFirstControlId + n. Below it are
// IDOK and IDCANCEL, which the dialog keys send and the window leaves alone.
inline constexpr int kFirstControlId = 100;

// Form1's row of the control with identifier `id`; nullptr for none.
const ControlSpec* RowOfId(int id);

}  // namespace qrticket::ui
