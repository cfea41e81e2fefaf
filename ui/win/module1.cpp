// Module1's start procedure on Win32 (see module1.h).
#include "module1.h"

#include <windows.h>

#include <commctrl.h>

#include "app_identity.h"
#include "form1.h"
#include "frm_splash.h"
#include "win_text.h"

namespace qrticket::ui {
namespace {

// The program's own window, never shown, as such programs have: it owns the splash and Form1,
// and an owned window is not listed in the task bar.
class ProgramWindow final {
 public:
  ProgramWindow() {
    WNDCLASSEXW type{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = DefWindowProcW;
    type.hInstance = GetModuleHandleW(nullptr);
    type.lpszClassName = L"qrticket.Program";
    RegisterClassExW(&type);
    window_ = CreateWindowExW(0, type.lpszClassName, Wide(kApplicationTitle).c_str(), WS_POPUP,
                              0, 0, 0, 0, nullptr, nullptr, type.hInstance, nullptr);
  }
  ~ProgramWindow() { DestroyWindow(window_); }
  ProgramWindow(const ProgramWindow&) = delete;
  ProgramWindow& operator=(const ProgramWindow&) = delete;
  HWND window() const { return window_; }

 private:
  HWND window_ = nullptr;
};

}  // namespace

int StartProcedure() {
  const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                     ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&classes);
  const ProgramWindow program;
  {
    FrmSplash splash(program.window(), static_cast<UINT>(kSplashInterval.count()));
    splash.ShowModal();
  }  // unloaded: the splash and its timer are gone before the main window exists

  Form1 form(program.window());
  form.Show();
  MSG message;
  BOOL got;
  while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
    if (IsWindow(form.window()) && form.TakeKey(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return got == 0 ? static_cast<int>(message.wParam) : 1;
}

}  // namespace qrticket::ui
