// The names the program shows: its title (message boxes) and the main window's caption.
#pragma once

namespace qrticket::ui {

// The application's title; the print job's failure box carries it as its title.
inline constexpr const char* kApplicationTitle = "QR Code - Teste";
inline constexpr const char* kMainWindowCaption = "QR Code - Teste v1.3";
// Matches the installed .desktop file, so desktops pair the window with its launcher and icon.
inline constexpr const char* kDesktopFileName = "qrticket";

}  // namespace qrticket::ui
