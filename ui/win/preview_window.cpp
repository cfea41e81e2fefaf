// The preview window on Win32 (see preview_window.h).
#include "preview_window.h"

#include <commdlg.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "form_texts.h"
#include "message_box.h"
#include "png_writer.h"
#include "render_ticket.h"
#include "win_layout.h"
#include "win_text.h"

namespace qrticket::ui {
namespace {

constexpr wchar_t kWindowClass[] = L"qrticket.TicketPreview";
constexpr wchar_t kPaperClass[] = L"qrticket.Paper";
constexpr int kSaveId = 101;
constexpr int kCloseId = IDCANCEL;  // Escape closes, as it does a dialog
// A scroll step of the paper, in dots: about a line of the ticket's text.
constexpr int kLineStep = 24;

// The paper: the picture at one dot to a screen pixel, on the dark of the window's frame,
// scrolled both ways where the window is smaller than the paper.
class PaperView final {
 public:
  explicit PaperView(const viewer::RenderedTicket& ticket) : ticket_(ticket) {
    struct GreyBitmap {
      BITMAPINFOHEADER header;
      RGBQUAD greys[256];
    } info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = ticket.width;
    info.header.biHeight = -ticket.height;  // rows from the top
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biClrUsed = 256;
    for (int i = 0; i < 256; ++i) {
      const auto level = static_cast<BYTE>(i);
      info.greys[i] = RGBQUAD{level, level, level, 0};
    }
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                               &bits, nullptr, 0);
    if (bitmap_ != nullptr) {
      const int stride = (ticket.width + 3) & ~3;
      for (int y = 0; y < ticket.height; ++y)
        std::copy_n(ticket.pixels.data() + static_cast<std::size_t>(y) * ticket.width,
                    ticket.width, static_cast<BYTE*>(bits) + static_cast<std::size_t>(y) * stride);
    }
  }
  ~PaperView() {
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
  }
  PaperView(const PaperView&) = delete;
  PaperView& operator=(const PaperView&) = delete;

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* view = reinterpret_cast<PaperView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
      view = static_cast<PaperView*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
    }
    if (view == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    return view->Handle(window, message, wParam, lParam);
  }

 private:
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_SIZE:
        UpdateScrollBars(window);
        return 0;
      case WM_VSCROLL:
      case WM_HSCROLL:
        Scroll(window, message == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wParam));
        return 0;
      case WM_MOUSEWHEEL:
        ScrollBy(window, SB_VERT, -GET_WHEEL_DELTA_WPARAM(wParam) * 3 * kLineStep / WHEEL_DELTA);
        return 0;
      case WM_KEYDOWN: {
        const std::pair<WPARAM, WORD> keys[] = {{VK_DOWN, SB_LINEDOWN}, {VK_UP, SB_LINEUP},
                                                {VK_NEXT, SB_PAGEDOWN}, {VK_PRIOR, SB_PAGEUP},
                                                {VK_HOME, SB_TOP},      {VK_END, SB_BOTTOM}};
        for (const auto& [key, action] : keys)
          if (wParam == key) Scroll(window, SB_VERT, action);
        if (wParam == VK_LEFT) Scroll(window, SB_HORZ, SB_LINEUP);
        if (wParam == VK_RIGHT) Scroll(window, SB_HORZ, SB_LINEDOWN);
        return 0;
      }
      case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
      case WM_SETFOCUS:
      case WM_KILLFOCUS:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
      case WM_LBUTTONDOWN:
        SetFocus(window);
        return 0;
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT:
        Paint(window);
        return 0;
      default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  void UpdateScrollBars(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    for (const auto& [bar, size, page] :
         {std::tuple{SB_VERT, ticket_.height, static_cast<int>(client.bottom)},
          std::tuple{SB_HORZ, ticket_.width, static_cast<int>(client.right)}}) {
      SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE, 0, size - 1, static_cast<UINT>(page), 0, 0};
      SetScrollInfo(window, bar, &info, TRUE);
    }
  }

  void Scroll(HWND window, int bar, WORD action) {
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(window, bar, &info);
    int position = info.nPos;
    switch (action) {
      case SB_LINEUP: position -= kLineStep; break;
      case SB_LINEDOWN: position += kLineStep; break;
      case SB_PAGEUP: position -= static_cast<int>(info.nPage); break;
      case SB_PAGEDOWN: position += static_cast<int>(info.nPage); break;
      case SB_TOP: position = info.nMin; break;
      case SB_BOTTOM: position = info.nMax; break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: position = info.nTrackPos; break;
      default: return;
    }
    ScrollTo(window, bar, position);
  }

  void ScrollBy(HWND window, int bar, int dots) {
    SCROLLINFO info{sizeof info, SIF_POS, 0, 0, 0, 0, 0};
    GetScrollInfo(window, bar, &info);
    ScrollTo(window, bar, info.nPos + dots);
  }

  void ScrollTo(HWND window, int bar, int position) {
    SCROLLINFO info{sizeof info, SIF_POS, 0, 0, 0, position, 0};
    SetScrollInfo(window, bar, &info, TRUE);  // clamped to the range
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);  // at once, before the next key
  }

  void Paint(HWND window) {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    RECT client{};
    GetClientRect(window, &client);
    SCROLLINFO vertical{sizeof vertical, SIF_POS, 0, 0, 0, 0, 0};
    SCROLLINFO horizontal = vertical;
    GetScrollInfo(window, SB_VERT, &vertical);
    GetScrollInfo(window, SB_HORZ, &horizontal);
    // The paper in the middle when the window is wider than it.
    const int left = std::max(0, (static_cast<int>(client.right) - ticket_.width) / 2) - horizontal.nPos;
    const int top = -vertical.nPos;
    const HRGN outside = CreateRectRgnIndirect(&client);
    const HRGN paper = CreateRectRgn(left, top, left + ticket_.width, top + ticket_.height);
    CombineRgn(outside, outside, paper, RGN_DIFF);
    FillRgn(dc, outside, GetSysColorBrush(COLOR_APPWORKSPACE));
    DeleteObject(paper);
    DeleteObject(outside);
    if (bitmap_ != nullptr) {
      const HDC source = CreateCompatibleDC(dc);
      const HGDIOBJ old = SelectObject(source, bitmap_);
      BitBlt(dc, left, top, ticket_.width, ticket_.height, source, 0, 0, SRCCOPY);
      SelectObject(source, old);
      DeleteDC(source);
    }
    if (GetFocus() == window) {
      RECT focus = client;
      InflateRect(&focus, -1, -1);
      DrawFocusRect(dc, &focus);
    }
    EndPaint(window, &paint);
  }

  const viewer::RenderedTicket& ticket_;
  HBITMAP bitmap_ = nullptr;
};

class PreviewWindow final {
 public:
  PreviewWindow(HWND owner, viewer::RenderedTicket ticket)
      : ticket_(std::move(ticket)), paper_(ticket_) {
    Register();
    window_ = CreateWindowExW(0, kWindowClass, Wide(texts::PreviewTitle()).c_str(),
                              WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                              1000, 700, owner, nullptr, GetModuleHandleW(nullptr), this);
    NameControl(window_, "TicketPreview");
    dpi_ = static_cast<int>(GetDpiForWindow(window_));
    font_ = CreateFontW(-MulDiv(9, dpi_, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        FIXED_PITCH | FF_MODERN, L"Courier New");
    uiFont_ = CreateFontW(-MulDiv(9, dpi_, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                          DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                          DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, L"MS Shell Dlg 2");
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    paperWindow_ = CreateWindowExW(WS_EX_CLIENTEDGE, kPaperClass, L"",
                                   WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL,
                                   0, 0, 0, 0, window_, nullptr, instance, &paper_);
    NameControl(paperWindow_, "paper");
    std::string lines;
    for (const std::string& line : ticket_.report) lines += line + "\r\n";
    report_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", Wide(lines).c_str(),
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE |
                                  ES_READONLY | ES_AUTOVSCROLL,
                              0, 0, 0, 0, window_, nullptr, instance, nullptr);
    NameControl(report_, "report");
    SendMessageW(report_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    save_ = CreateWindowExW(0, L"BUTTON", Wide(texts::SavePngButton()).c_str(),
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0,
                            window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSaveId)),
                            instance, nullptr);
    NameControl(save_, "savePng");
    close_ = CreateWindowExW(0, L"BUTTON", Wide(texts::CloseButton()).c_str(),
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0,
                             window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCloseId)),
                             instance, nullptr);
    NameControl(close_, "close");
    for (HWND button : {save_, close_})
      SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont_), FALSE);
    FitOver(owner);
  }
  ~PreviewWindow() {
    if (IsWindow(window_)) DestroyWindow(window_);
    DeleteObject(font_);
    DeleteObject(uiFont_);
  }
  PreviewWindow(const PreviewWindow&) = delete;
  PreviewWindow& operator=(const PreviewWindow&) = delete;

  // Shows it and serves it until it is closed; the owner waits, disabled.
  void Run(HWND owner) {
    EnableWindow(owner, FALSE);
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
    SetFocus(paperWindow_);
    MSG message;
    while (IsWindow(window_)) {
      const BOOL got = GetMessageW(&message, nullptr, 0, 0);
      if (got <= 0) {
        if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
        break;
      }
      if (PressFocusedButton(message)) continue;
      if (IsDialogMessageW(window_, &message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    // The owner first, so that Windows gives it back the keyboard, not another program.
    EnableWindow(owner, TRUE);
    SetForegroundWindow(owner);
  }

 private:
  static void Register() {
    static const bool registered = [] {
      WNDCLASSEXW type{};
      type.cbSize = sizeof type;
      type.lpfnWndProc = &PreviewWindow::Procedure;
      type.hInstance = GetModuleHandleW(nullptr);
      type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
      type.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
      type.hIcon = LoadIconW(type.hInstance, MAKEINTRESOURCEW(1));
      type.lpszClassName = kWindowClass;
      RegisterClassExW(&type);
      type.lpfnWndProc = &PaperView::Procedure;
      type.hbrBackground = nullptr;
      type.hIcon = nullptr;
      type.lpszClassName = kPaperClass;
      return RegisterClassExW(&type) != 0;
    }();
    (void)registered;
  }

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* preview = reinterpret_cast<PreviewWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
      preview = static_cast<PreviewWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(preview));
    }
    if (preview == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
      case WM_SIZE:
        preview->Layout();
        return 0;
      case WM_COMMAND:
        if (LOWORD(wParam) == kSaveId) preview->AskAndSave();
        if (LOWORD(wParam) == kCloseId) DestroyWindow(window);
        return 0;
      case WM_CLOSE:
        DestroyWindow(window);
        return 0;
      case WM_DESTROY:
        ForgetNames(window);
        break;
      case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
      default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  int Scaled(int pixels) const { return MulDiv(pixels, dpi_, 96); }

  // The whole paper width beside the report where the screen has room; the window fits the
  // screen its owner is on, centred over the owner.
  void FitOver(HWND owner) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    RECT outer{0, 0, Scaled(1000), Scaled(700)};
    AdjustWindowRectExForDpi(&outer, WS_OVERLAPPEDWINDOW, FALSE, 0, static_cast<UINT>(dpi_));
    const int width = std::min<int>(outer.right - outer.left, work.right - work.left);
    const int height = std::min<int>(outer.bottom - outer.top, work.bottom - work.top);
    RECT over{};
    GetWindowRect(owner, &over);
    int left = (over.left + over.right) / 2 - width / 2;
    int top = (over.top + over.bottom) / 2 - height / 2;
    left = std::clamp<int>(left, work.left, work.right - width);
    top = std::clamp<int>(top, work.top, work.bottom - height);
    SetWindowPos(window_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  }

  void Layout() {
    RECT client{};
    GetClientRect(window_, &client);
    const int margin = Scaled(8), buttonHeight = Scaled(26), buttonWidth = Scaled(110);
    const int bottom = client.bottom - margin - buttonHeight - margin;
    const int inner = client.right - 3 * margin;
    const int paperWidth = std::min(
        inner - Scaled(120), std::max(inner * 3 / 5, ticket_.width + GetSystemMetrics(SM_CXVSCROLL) + 4));
    MoveWindow(paperWindow_, margin, margin, paperWidth, bottom - margin, TRUE);
    MoveWindow(report_, 2 * margin + paperWidth, margin, inner - paperWidth, bottom - margin, TRUE);
    MoveWindow(close_, client.right - margin - buttonWidth, bottom + margin, buttonWidth,
               buttonHeight, TRUE);
    MoveWindow(save_, client.right - 2 * (margin + buttonWidth), bottom + margin, buttonWidth,
               buttonHeight, TRUE);
  }

  bool PressFocusedButton(const MSG& message) {
    if (message.message != WM_KEYDOWN || message.wParam != VK_RETURN) return false;
    const HWND focus = GetFocus();
    if (focus != save_ && focus != close_) return false;
    if ((message.lParam & (1 << 30)) == 0)
      SendMessageW(window_, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(focus), BN_CLICKED),
                   reinterpret_cast<LPARAM>(focus));
    return true;
  }

  // The system's save dialog, then the picture as PNG; a failure in one box.
  void AskAndSave() {
    std::wstring file = Wide(texts::SaveDialogFileName());
    file.resize(32768, L'\0');
    const std::wstring title = Wide(texts::SaveDialogTitle());
    std::wstring filter = Wide(texts::SaveDialogFilter());
    filter += L'\0';
    filter += L"*.png";
    filter += L'\0';
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window_;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = L"png";
    dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
                   OFN_HIDEREADONLY;
    if (!GetSaveFileNameW(&dialog)) return;
    file.resize(file.find(L'\0'));
    try {
      viewer::WritePng(ticket_, std::filesystem::path(file));
    } catch (const viewer::PngError& error) {
      ShowMessageBox(window_, error.what());
    }
  }

  viewer::RenderedTicket ticket_;
  PaperView paper_;
  HWND window_ = nullptr;
  HWND paperWindow_ = nullptr, report_ = nullptr, save_ = nullptr, close_ = nullptr;
  HFONT font_ = nullptr, uiFont_ = nullptr;
  int dpi_ = 96;
};

}  // namespace

bool PreviewAvailable() { return true; }

void ShowPreview(HWND owner, BytesView ticket, int paperDots) {
  viewer::RenderOptions options;
  options.paperWidth = paperDots;
  PreviewWindow preview(owner, viewer::RenderTicket(ticket, options));
  preview.Run(owner);
}

}  // namespace qrticket::ui
