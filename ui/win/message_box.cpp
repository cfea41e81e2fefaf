// The program's message boxes (see message_box.h).
#include "message_box.h"

#include "app_identity.h"
#include "win_text.h"

namespace qrticket::ui {

void ShowMessageBox(HWND owner, const std::string& message) {
  // The job runs under the busy cursor; the operator needs the normal one to press OK.
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  MessageBoxW(owner, Wide(message).c_str(), Wide(kApplicationTitle).c_str(), MB_OK);
}

}  // namespace qrticket::ui
