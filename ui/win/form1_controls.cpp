// Form1's controls on Win32, made from the layout table: Windows' standard controls with the
// names, captions, fonts, colours, places and focus order the window was drawn with.
#include <windows.h>

#include <commctrl.h>

#include "app_identity.h"
#include "form1.h"
#include "form1_controls.h"
#include "form_texts.h"
#include "resources.h"
#include "symbol_line.h"
#include "win_text.h"
#include "window_class.h"

namespace qrticket::ui {
namespace {

constexpr wchar_t kClassName[] = L"qrticket.Form1";
// How far the lists drop, beyond their own height.
constexpr int kListRows = 16;

// Text1 takes Return as a line break and leaves with Tab, as every other box does: a
// multi-line edit box would otherwise ask the dialog keys for Tab and Escape too (and Escape
// in it would close the window).
LRESULT CALLBACK DataBoxKeys(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR) {
  if (message == WM_GETDLGCODE) {
    LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    const auto* key = reinterpret_cast<const MSG*>(lParam);
    if (key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_RETURN)
      code |= DLGC_WANTMESSAGE;
    return code;
  }
  return DefSubclassProc(box, message, wParam, lParam);
}

struct Made {
  const wchar_t* type;
  DWORD style;
  DWORD extended = 0;
};

Made TypeOf(const ControlSpec& spec) {
  const DWORD label = SS_NOPREFIX | (spec.align == Align::Centre  ? SS_CENTER
                                     : spec.align == Align::Right ? SS_RIGHT
                                                                  : SS_LEFT);
  switch (spec.kind) {
    case ControlKind::Picture: return {L"STATIC", SS_OWNERDRAW};
    case ControlKind::Label:
      // The symbol line tells its tool tip when the mouse is over it; a label with a menu
      // must take the mouse's right button.
      return {L"STATIC", label | (spec.border ? WS_BORDER : 0u) |
                             (spec.control == Control::lblSimbolo ||
                                      (spec.control != Control::None &&
                                       Form1MenuOf(spec.control) != nullptr)
                                  ? SS_NOTIFY
                                  : 0u)};
    case ControlKind::TextBox:
      return {L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::MultiLineText:
      // Wraps at its width, no scroll bars; keeps scrolling as the operator types on.
      return {L"EDIT", WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL,
              WS_EX_CLIENTEDGE};
    case ControlKind::Frame: return {L"BUTTON", BS_GROUPBOX};
    case ControlKind::EditableList:
      return {L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL |
                               (spec.deviceList ? CBS_OWNERDRAWFIXED | CBS_HASSTRINGS : 0u)};
    case ControlKind::FixedList: return {L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST};
    case ControlKind::CheckBox:
      return {L"BUTTON",
              WS_TABSTOP | BS_AUTOCHECKBOX | (spec.boxOnTheRight ? BS_LEFTTEXT | BS_RIGHT : 0u)};
    case ControlKind::Button: return {L"BUTTON", WS_TABSTOP | BS_OWNERDRAW};
  }
  return {L"STATIC", 0};
}

}  // namespace

const ControlSpec* RowOfId(int id) {
  const auto& controls = Form1Layout().controls;
  const int row = id - kFirstControlId;
  if (row < 0 || row >= static_cast<int>(controls.size())) return nullptr;
  return &controls[static_cast<std::size_t>(row)];
}

void Form1::CreateControls(HWND owner) {
  RegisterWhiteWindowClass(kClassName);
  const WindowSpec& layout = Form1Layout();
  // A fixed dialog frame with the close box only; owned by the program's hidden window, so
  // the task bar does not list it.
  window_ = CreateWindowExW(0, kClassName, Wide(layout.caption).c_str(),
                            WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 0,
                            owner, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
  NameControl(window_, layout.name);
  // Neither resized, minimised nor maximised: the system menu says so too.
  const HMENU system = GetSystemMenu(window_, FALSE);
  for (UINT item : {SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE})
    DeleteMenu(system, item, MF_BYCOMMAND);
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  for (const auto& [size, which] : {std::pair{16, ICON_SMALL}, std::pair{32, ICON_BIG}}) {
    const HANDLE icon =
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_QRTICKET), IMAGE_ICON, size, size, 0);
    SendMessageW(window_, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
  }
  dpi_ = static_cast<int>(GetDpiForWindow(window_));
  logo_ = LoadPicture(Picture::Logo52);

  int id = kFirstControlId;
  for (const ControlSpec& spec : layout.controls) {
    const Made made = TypeOf(spec);
    const HWND control = CreateWindowExW(
        made.extended, made.type, Wide(spec.caption).c_str(),
        WS_CHILD | WS_CLIPSIBLINGS | (spec.hidden ? 0u : WS_VISIBLE) | made.style, 0, 0, 0, 0,
        window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), instance, nullptr);
    NameControl(control, spec.name);
    controls_.emplace(spec.name, control);
    if (spec.deviceList) deviceBox_.Attach(control);
    for (const std::string_view entry : spec.entries)
      SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(entry).c_str()));
  }
  const HWND text = ControlHwnd(Control::Text1);
  SetWindowSubclass(text, DataBoxKeys, 0, 0);
  SendMessageW(text, EM_SETLIMITTEXT, 0, 0);  // as long as the operator likes; the job checks
  if (!HaveSymbolFacts()) ShowWindow(ControlHwnd(Control::lblSimbolo), SW_HIDE);

  SetTabOrder();
  Layout();
  AddToolTips();
}

void Form1::Layout() {
  const WindowSpec& layout = Form1Layout();
  fonts_.Clear();
  for (const ControlSpec& spec : layout.controls) {
    const HWND control = ControlHwnd(spec.name);
    const RECT place = ControlRect(layout, spec, dpi_);
    const int height = place.bottom - place.top;
    const bool list = spec.kind == ControlKind::EditableList || spec.kind == ControlKind::FixedList;
    SendMessageW(control, WM_SETFONT,
                 reinterpret_cast<WPARAM>(fonts_.For(spec.font.value_or(layout.font), dpi_)),
                 FALSE);
    // A list's height is the height it drops to; the closed box is as tall as its text field.
    SetWindowPos(control, nullptr, place.left, place.top, place.right - place.left,
                 list ? height * (kListRows + 1) : height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (control == deviceBox_.box()) deviceBox_.FitEntries();
    if (list) {
      // The closed box is its text field and a border around it: the field's height makes it
      // as tall as the layout says. Measured rather than computed, as systems differ in what
      // CB_GETITEMHEIGHT counts.
      auto field = SendMessageW(control, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
      for (int attempt = 0; attempt < 3; ++attempt) {
        SendMessageW(control, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
        RECT closed{};
        GetWindowRect(control, &closed);
        const int off = (closed.bottom - closed.top) - height;
        if (off == 0) break;
        field -= off;
      }
    }
  }
  InvalidateRect(window_, nullptr, TRUE);
}

// Focus goes round the controls that take it in the layout's order, which is Windows' order
// of the windows themselves; the frame lies under everything it holds. Labels that overlap
// (QR Code's foot over Correção Erro's head, by 45 twips) lie later over earlier, as the
// form drew them: a label paints its whole rectangle, so an earlier one on top would hide
// the first pixel rows of the later one's text, where the accents and the capitals' tops are.
void Form1::SetTabOrder() {
  HWND after = HWND_TOP;
  for (const ControlSpec* spec : FocusOrder(Form1Layout())) {
    const HWND control = ControlHwnd(spec->name);
    // Each its own group, so the arrow keys stay in the control the operator is in.
    SetWindowLongW(control, GWL_STYLE, GetWindowLongW(control, GWL_STYLE) | WS_GROUP);
    SetWindowPos(control, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = control;
  }
  for (const ControlSpec& spec : Form1Layout().controls) {
    if (spec.kind == ControlKind::Frame)
      SetWindowPos(ControlHwnd(spec.name), HWND_BOTTOM, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  // Compared in twips (1440 to the inch: ControlRect's pixels at 1440 dpi), whatever the DPI;
  // from the last label up, so that a chain of them (Tamanho, QR Code, Correção Erro) ends
  // with each under the next.
  const auto& controls = Form1Layout().controls;
  const WindowSpec& layout = Form1Layout();
  for (auto later = controls.rbegin(); later != controls.rend(); ++later) {
    if (later->kind != ControlKind::Label) continue;
    const RECT place = ControlRect(layout, *later, 1440);
    for (auto earlier = later + 1; earlier != controls.rend(); ++earlier) {
      RECT common{};
      const RECT other = ControlRect(layout, *earlier, 1440);
      if (earlier->kind == ControlKind::Label && IntersectRect(&common, &place, &other))
        SetWindowPos(ControlHwnd(earlier->name), ControlHwnd(later->name), 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
}

void Form1::AddToolTip(HWND control, const std::string& text) {
  const std::wstring wide = Wide(text);
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = const_cast<wchar_t*>(wide.c_str());
  SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Form1::AddToolTips() {
  toolTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  // Long tips break into lines, and stay while they are read.
  SendMessageW(toolTip_, TTM_SETMAXTIPWIDTH, 0, MulDiv(420, dpi_, 96));
  SendMessageW(toolTip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000);

  const std::string deviceHelp = texts::DeviceBoxToolTip(CanPreview());
  const HWND device = ControlHwnd(Control::ObjPrint);
  AddToolTip(device, deviceHelp);
  COMBOBOXINFO parts{};
  parts.cbSize = sizeof parts;
  if (GetComboBoxInfo(device, &parts) && parts.hwndItem != nullptr)
    AddToolTip(parts.hwndItem, deviceHelp);  // the mouse is mostly over the box's text field
  AddToolTip(ControlHwnd(Control::cmdEstado), std::string(texts::StatusButtonToolTip()));
  if (HaveSymbolFacts()) {
    AddToolTip(ControlHwnd(Control::Command1), std::string(texts::PrintButtonToolTip()));
    AddToolTip(ControlHwnd(Control::lblSimbolo), std::string());
  }
}

}  // namespace qrticket::ui
