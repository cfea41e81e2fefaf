#include "window_class.h"

namespace qrticket::ui {

void RegisterWhiteWindowClass(const wchar_t* name) {
  WNDCLASSEXW type{};
  type.cbSize = sizeof type;
  type.lpfnWndProc = DefWindowProcW;
  type.hInstance = GetModuleHandleW(nullptr);
  type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  type.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  type.lpszClassName = name;
  RegisterClassExW(&type);  // a second call for the same name fails, harmlessly
}

}  // namespace qrticket::ui
