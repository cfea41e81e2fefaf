// Text inside the program is UTF-8; the Win32 calls take UTF-16, converted only here.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace qrticket::ui {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

// A window's text (a control's caption or contents), as UTF-16 and as UTF-8.
std::wstring WindowTextOf(HWND window);
std::string WindowUtf8(HWND window);
void SetWindowUtf8(HWND window, std::string_view text);

}  // namespace qrticket::ui
