// frmSplash on Win32: a white popup with a dialog frame and no title bar, shown modally until
// Timer1 fires once (see frm_splash.h).
#include "frm_splash.h"

#include "win_text.h"
#include "window_class.h"

namespace qrticket::ui {
namespace {

constexpr wchar_t kClassName[] = L"qrticket.frmSplash";
constexpr UINT_PTR kTimer1 = 1;

void LetGoOfCachedDcs(HWND owner) {
  // Wine's cache of common DCs keeps those that last drew the splash and its labels bound to it,
  // and with them the splash's whole window image (about 0.7 MB), until they draw another
  // window. Taking each of them once for the hidden owner, which draws nothing, lets it go.
  constexpr int kCachedDcs = 8;  // enough under Wine 8 (bench/startup_wine.sh shows it let go)
  HDC dcs[kCachedDcs];
  for (HDC& dc : dcs) dc = GetDCEx(owner, nullptr, DCX_CACHE);
  for (HDC dc : dcs) {
    if (dc != nullptr) ReleaseDC(owner, dc);
  }
}

}  // namespace

FrmSplash::FrmSplash(HWND owner, UINT intervalMs) {
  RegisterWhiteWindowClass(kClassName);
  // A fixed dialog frame without a caption: no title bar, no close button.
  window_ = CreateWindowExW(0, kClassName, L"",
                            WS_POPUP | WS_DLGFRAME, 0, 0, 0, 0, owner, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
  NameControl(window_, SplashLayout().name);
  dpi_ = static_cast<int>(GetDpiForWindow(window_));
  logo_ = LoadPicture(Picture::Logo206x208);
  CreateControls();
  SizeAndCentre(window_, ClientSize(SplashLayout(), dpi_));
  SetTimer(window_, kTimer1, intervalMs, nullptr);  // the load handler
}

FrmSplash::~FrmSplash() {
  if (IsWindow(window_)) {
    const HWND owner = GetWindow(window_, GW_OWNER);
    KillTimer(window_, kTimer1);
    ForgetNames(window_);
    DestroyWindow(window_);
    if (owner != nullptr) LetGoOfCachedDcs(owner);
  }
  if (logo_ != nullptr) DeleteObject(logo_);
}

void FrmSplash::CreateControls() {
  const WindowSpec& layout = SplashLayout();
  HWND frame = nullptr;
  for (const ControlSpec& spec : layout.controls) {
    RECT place = ControlRect(layout, spec, dpi_);
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    if (spec.kind == ControlKind::Frame) {
      style |= SS_ETCHEDFRAME;  // no caption: a thin line round the splash
    } else if (spec.kind == ControlKind::Picture) {
      style |= SS_OWNERDRAW;
    } else {
      style |= SS_NOPREFIX | (spec.align == Align::Right ? SS_RIGHT : SS_LEFT);
    }
    HWND control = CreateWindowExW(0, L"STATIC", Wide(spec.caption).c_str(), style, place.left,
                                   place.top, place.right - place.left, place.bottom - place.top,
                                   window_, nullptr, GetModuleHandleW(nullptr), nullptr);
    NameControl(control, spec.name);
    const HFONT font = fonts_.For(spec.font.value_or(layout.font), dpi_);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (spec.autoSize) {
      // Sized to the text, keeping the left edge.
      const HDC dc = GetDC(control);
      const HGDIOBJ old = SelectObject(dc, font);
      const std::wstring text = Wide(spec.caption);
      SIZE extent{};
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
      SelectObject(dc, old);
      ReleaseDC(control, dc);
      SetWindowPos(control, nullptr, 0, 0, extent.cx, extent.cy, SWP_NOMOVE | SWP_NOZORDER);
    }
    if (spec.kind == ControlKind::Frame) frame = control;
  }
  // The frame lies under everything it holds.
  if (frame != nullptr) SetWindowPos(frame, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void FrmSplash::ShowModal() {
  ShowWindow(window_, SW_SHOWNORMAL);
  UpdateWindow(window_);
  SetForegroundWindow(window_);
  MSG message;
  while (IsWindowVisible(window_)) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (got < 0) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

LRESULT CALLBACK FrmSplash::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* splash = reinterpret_cast<FrmSplash*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (splash == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return splash->Handle(message, wParam, lParam);
}

LRESULT FrmSplash::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kTimer1) {
        KillTimer(window_, kTimer1);  // fires once
        ShowWindow(window_, SW_HIDE);  // which ends the modal show
        return 0;
      }
      break;
    case WM_CLOSE:
      return 0;  // only the timer ends the splash (Alt+F4 included)
    case WM_CTLCOLORSTATIC:
      SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 0));
      SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      FillRect(item->hDC, &item->rcItem, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      DrawPicture(item->hDC, logo_, item->rcItem, dpi_);
      return TRUE;
    }
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;  // a click on the splash does nothing at all
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace qrticket::ui
