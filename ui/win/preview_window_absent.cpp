// A build without the virtual printer: "VISUALIZAR:" is a file name like any other.
#include "preview_window.h"

namespace qrticket::ui {

bool PreviewAvailable() { return false; }

void ShowPreview(HWND, BytesView, int) {}

}  // namespace qrticket::ui
