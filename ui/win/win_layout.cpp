// The layout tables at the screen's DPI (see win_layout.h).
#include "win_layout.h"

#include "resources.h"
#include "win_text.h"

namespace qrticket::ui {
namespace {

constexpr wchar_t kNameProperty[] = L"qrticket.control";

}  // namespace

RECT ControlRect(const WindowSpec& window, const ControlSpec& control, int dpi) {
  int left = TwipsToPixels(control.rect.left, dpi);
  int top = TwipsToPixels(control.rect.top, dpi);
  if (control.container != window.name) {
    const ControlSpec* frame = FindControl(window, control.container);
    left += TwipsToPixels(frame->rect.left, dpi);
    top += TwipsToPixels(frame->rect.top, dpi);
  }
  return RECT{left, top, left + TwipsToPixels(control.rect.width, dpi),
              top + TwipsToPixels(control.rect.height, dpi)};
}

SIZE ClientSize(const WindowSpec& window, int dpi) {
  return SIZE{TwipsToPixels(window.clientWidth, dpi), TwipsToPixels(window.clientHeight, dpi)};
}

COLORREF ColourOf(Rgb rgb) {
  return RGB(static_cast<BYTE>(rgb.red), static_cast<BYTE>(rgb.green), static_cast<BYTE>(rgb.blue));
}

HFONT FontSet::For(const FontSpec& font, int dpi) {
  for (const Made& made : made_) {
    if (made.dpi == dpi && made.spec.face == font.face && made.spec.points == font.points &&
        made.spec.bold == font.bold)
      return made.font;
  }
  // Points at the screen's DPI: 8.25 pt is 11 pixels at 96 dpi, 17 at 144.
  const int height = -MulDiv(static_cast<int>(font.points * 100 + 0.5), dpi, 72 * 100);
  const HFONT made = CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                                 FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS,
                                 Wide(font.face).c_str());
  made_.push_back({font, dpi, made});
  return made;
}

void FontSet::Clear() {
  for (const Made& made : made_) DeleteObject(made.font);
  made_.clear();
}

void SizeAndCentre(HWND window, SIZE client) {
  RECT outer{0, 0, client.cx, client.cy};
  AdjustWindowRectExForDpi(&outer, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)),
                           GetDpiForWindow(window));
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& work = monitor.rcWork;
  const int left = work.left + ((work.right - work.left) - width) / 2;
  const int top = work.top + ((work.bottom - work.top) - height) / 2;
  SetWindowPos(window, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

HBITMAP LoadPicture(Picture picture) {
  const int id = picture == Picture::Logo52 ? IDB_LOGO_52 : IDB_LOGO_206;
  return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                         IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

void DrawPicture(HDC dc, HBITMAP bitmap, const RECT& box, int dpi) {
  if (bitmap == nullptr) return;
  BITMAP info{};
  GetObjectW(bitmap, sizeof info, &info);
  const HDC source = CreateCompatibleDC(dc);
  const HGDIOBJ old = SelectObject(source, bitmap);
  const int width = MulDiv(info.bmWidth, dpi, 96);
  const int height = MulDiv(info.bmHeight, dpi, 96);
  if (width == info.bmWidth) {
    BitBlt(dc, box.left, box.top, width, height, source, 0, 0, SRCCOPY);
  } else {
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, box.left, box.top, width, height, source, 0, 0, info.bmWidth, info.bmHeight,
               SRCCOPY);
  }
  SelectObject(source, old);
  DeleteDC(source);
}

void NameControl(HWND control, std::string_view name) {
  const ATOM atom = GlobalAddAtomW(Wide(name).c_str());
  SetPropW(control, kNameProperty, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(atom)));
}

void ForgetNames(HWND window) {
  const auto forget = [](HWND named, LPARAM) -> BOOL {
    const auto atom =
        static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(RemovePropW(named, kNameProperty)));
    if (atom != 0) GlobalDeleteAtom(atom);
    return TRUE;
  };
  EnumChildWindows(window, forget, 0);
  forget(window, 0);
}

std::wstring ControlNameOf(HWND control) {
  const auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropW(control, kNameProperty)));
  if (atom == 0) return {};
  wchar_t name[64] = {};
  const UINT length = GlobalGetAtomNameW(atom, name, 64);
  return std::wstring(name, length);
}

}  // namespace qrticket::ui
