// Form1's controls on Win32: their identifiers, given by their rows in the layout table.
#pragma once

#include <string_view>

namespace qrticket::ui {

// The control of row n of Form1's table has the identifier kFirstControlId + n. Below it are
// IDOK and IDCANCEL, which the dialog keys send and the window leaves alone.
inline constexpr int kFirstControlId = 100;

// The name of the control with identifier `id`; empty for none.
std::string_view ControlNameOfId(int id);

}  // namespace qrticket::ui
