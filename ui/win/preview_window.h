// "VISUALIZAR:" on Win32: the ticket drawn by the virtual printer in a window of its own, the
// paper roll scrollable, the printer's report beside it, and "Guardar PNG..." through the
// system's save dialog.
#pragma once

#include <windows.h>

#include "devices/bytes.h"

namespace qrticket::ui {

// Whether this build has the virtual printer to draw with.
bool PreviewAvailable();

// Draws `ticket` on paper `paperDots` wide and shows it in a window over `owner`, which waits
// (disabled) until the preview is closed and then has the keyboard again.
void ShowPreview(HWND owner, BytesView ticket, int paperDots);

}  // namespace qrticket::ui
