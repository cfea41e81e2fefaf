// The window class both of the program's own top-level windows use.
#pragma once

#include <windows.h>

namespace qrticket::ui {

// Registers a class of white windows with the arrow cursor whose procedure each
// window replaces with its own on creation.
void RegisterWhiteWindowClass(const wchar_t* name);

}  // namespace qrticket::ui
