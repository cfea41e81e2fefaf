// The yardstick for bench/startup_wine.sh: the smallest Win32 program with one white window of
// the splash's size (7860 x 4605 twips at 96 dpi) and a label, built and linked as
// qrticket-gui.exe is (MinGW-w64, static), measured exactly like it under Wine. Built a second
// time as minimal_window_cc6.exe with common controls 6 (its manifest, and the classes
// qrticket-gui.exe registers at start).
#include <windows.h>

#ifdef QRTICKET_COMMON_CONTROLS_6
#include <commctrl.h>
#endif

namespace {

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
#ifdef QRTICKET_COMMON_CONTROLS_6
  const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                     ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&classes);
#endif
  WNDCLASSEXW type{};
  type.cbSize = sizeof type;
  type.lpfnWndProc = Procedure;
  type.hInstance = instance;
  type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  type.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  type.lpszClassName = L"minimal";
  RegisterClassExW(&type);
  RECT outer{0, 0, 524, 307};
  AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW, FALSE, 0);
  HWND window = CreateWindowExW(0, type.lpszClassName, L"Mínima", WS_OVERLAPPEDWINDOW,
                                CW_USEDEFAULT, CW_USEDEFAULT, outer.right - outer.left,
                                outer.bottom - outer.top, nullptr, nullptr, instance, nullptr);
  CreateWindowExW(0, L"STATIC", L"Olá", WS_CHILD | WS_VISIBLE, 8, 8, 100, 20, window, nullptr,
                  instance, nullptr);
  ShowWindow(window, show);
  UpdateWindow(window);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
