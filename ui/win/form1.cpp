// Form1 on Win32: the window procedure hands the controls' notifications to Form1Model, which
// reads and sets the controls through the Form1View calls below.
#include "form1.h"

#include <commctrl.h>
#include <windowsx.h>

#include <initializer_list>
#include <string_view>
#include <utility>

#include "devices/win/cancel_event.h"
#include "form1_controls.h"
#include "grey_button.h"
#include "preview_ticket.h"
#include "preview_window.h"
#include "symbol_line.h"
#include "symbols/qr_symbol_types.h"
#include "ticket/code_table_ticket.h"
#include "win_text.h"

namespace qrticket::ui {
namespace {

bool Pressed(int key) { return (GetKeyState(key) & 0x8000) != 0; }

// The item chosen from the context menu `spec` of `button` (nullptr for none), opened where the
// right click was, or under the button when `at` is -1 (the menu key or Shift+F10); checkable
// items show the tick `model` keeps.
const MenuItemSpec* ChooseFromMenu(HWND owner, HWND button, LPARAM at, const MenuSpec& spec,
                                   const Form1Model& model) {
  POINT where{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  if (at == -1) {
    RECT r{};
    GetWindowRect(button, &r);
    where = {r.left, r.bottom};
  }
  // An item's identifier is its position in the menu plus one: 0 is "nothing chosen".
  const HMENU menu = CreatePopupMenu();
  UINT id = 1;
  for (const MenuItemSpec& item : spec.items) {
    const UINT check = item.checkable && model.Checked(item.item) ? MF_CHECKED : MF_UNCHECKED;
    AppendMenuW(menu, MF_STRING | check, id++, Wide(item.caption()).c_str());
  }
  const UINT chosen = static_cast<UINT>(TrackPopupMenu(
      menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, where.x, where.y, 0, owner, nullptr));
  DestroyMenu(menu);
  return chosen == 0 || chosen > spec.items.size() ? nullptr : &spec.items[chosen - 1];
}

// What the operator does to the window while a long action runs and the window keeps
// answering: dropped, so that nothing starts another action or changes a value the action
// reads. Through come the frame's mouse messages (the close box, the system menu, moving the
// window) and Alt+F4.
bool DroppedWhileBusy(const MSG& message) {
  if (message.message == WM_SYSKEYDOWN && message.wParam == VK_F4) return false;
  return (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) ||
         (message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST);
}

// Takes the queue's messages from `first` to `last` (0, 0: all) as a busy window does: the
// operator's input dropped, the rest dispatched. False once it meets WM_QUIT (the window is
// gone), which it posts again for the main loop; no filter holds WM_QUIT back.
bool PumpWhileBusy(UINT first, UINT last) {
  MSG message;
  while (PeekMessageW(&message, nullptr, first, last, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    if (DroppedWhileBusy(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return true;
}

}  // namespace

Form1::Form1(HWND owner) : model_(*this, reporter_) {
  CreateControls(owner);
  reporter_.SetOwner(window_);
  model_.Load();
}

Form1::~Form1() {
  if (IsWindow(window_)) DestroyWindow(window_);
  if (logo_ != nullptr) DeleteObject(logo_);
  if (cancel_ != nullptr) CloseHandle(cancel_);
}

void Form1::Show() {
  SizeAndCentre(window_, ClientSize(Form1Layout(), dpi_));
  ShowWindow(window_, SW_SHOWNORMAL);
  UpdateWindow(window_);
  SetForegroundWindow(window_);
  SetFocus(ControlHwnd(Control::Text1));
}

HWND Form1::ControlHwnd(std::string_view name) const {
  const auto found = controls_.find(name);
  return found == controls_.end() ? nullptr : found->second;
}

const ControlSpec* Form1::RowOf(HWND control) const {
  if (control == nullptr || GetParent(control) != window_) return nullptr;
  return RowOfId(GetDlgCtrlID(control));
}

bool Form1::TakeKey(MSG& message) {
  if (Form1Layout().enterPressesButtons && message.message == WM_KEYDOWN &&
      message.wParam == VK_RETURN && !Pressed(VK_CONTROL) && !Pressed(VK_MENU) &&
      !Pressed(VK_SHIFT)) {
    const HWND focus = GetFocus();
    const ControlSpec* row = RowOf(focus);
    if (row != nullptr && row->kind == ControlKind::Button) {
      // A held key repeats: it presses the button once.
      const bool repeat = (message.lParam & (1 << 30)) != 0;
      if (!repeat && IsWindowEnabled(focus))
        SendMessageW(window_, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(focus), BN_CLICKED),
                     reinterpret_cast<LPARAM>(focus));
      return true;
    }
  }
  return IsDialogMessageW(window_, &message) != FALSE;
}

LRESULT CALLBACK Form1::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* form = reinterpret_cast<Form1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (form == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return form->Handle(message, wParam, lParam);
}

LRESULT Form1::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      Command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_CTLCOLORSTATIC:
      // Labels, check boxes and the frame, transparent on the window's white.
      SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 0));
      SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item.CtlType == ODT_BUTTON) {
        DrawGreyButton(item);
      } else if (item.CtlType == ODT_STATIC) {
        FillRect(item.hDC, &item.rcItem, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        DrawPicture(item.hDC, logo_, item.rcItem, dpi_);
      } else if (item.CtlType == ODT_COMBOBOX) {
        deviceBox_.Draw(item);
      }
      return TRUE;
    }
    case WM_MEASUREITEM: {
      auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (item.CtlType != ODT_COMBOBOX) break;
      deviceBox_.Measure(item);
      return TRUE;
    }
    case WM_CONTEXTMENU:
      if (ShowMenu(reinterpret_cast<HWND>(wParam), lParam)) return 0;
      break;
    case WM_ACTIVATE:
      // The window takes the keyboard back, in the control that had it, after every dialog.
      if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window_, focus)) lastFocus_ = focus;
      } else if (lastFocus_ != nullptr && IsWindow(lastFocus_)) {
        SetFocus(lastFocus_);
        return 0;
      }
      break;
    case WM_SETCURSOR:
      // Over the frame the usual cursors stay: the close box works during a long action.
      if (busy_ && LOWORD(lParam) == HTCLIENT) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wParam);
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      Layout();
      return 0;
    }
    case WM_CLOSE:
      if (cancel_ != nullptr) SetEvent(cancel_);  // a long action under way ends at its next wait
      DestroyWindow(window_);  // unloads the window; the program ends with it
      return 0;
    case WM_DESTROY:
      closed_ = true;
      ForgetNames(window_);
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

// Each control the behaviour knows reports its changes, or its clicks, in the way its kind has.
void Form1::Command(int id, int code, HWND control) {
  const ControlSpec* row = RowOfId(id);
  if (row == nullptr || row->control == Control::None) return;
  switch (row->kind) {
    case ControlKind::TextBox:
    case ControlKind::MultiLineText:
      if (code == EN_CHANGE) model_.Changed(row->control);
      break;
    case ControlKind::EditableList:
    case ControlKind::FixedList: ListCommand(row->control, code, control); break;
    case ControlKind::CheckBox:
      if (code == BN_CLICKED) model_.Changed(row->control);
      break;
    case ControlKind::Button:
      if (code == BN_CLICKED) model_.Clicked(row->control);
      break;
    case ControlKind::Picture:
    case ControlKind::Label:
    case ControlKind::Frame: break;
  }
}

void Form1::ListCommand(Control list, int code, HWND control) {
  if (code == CBN_DROPDOWN) {
    if (control == deviceBox_.box()) deviceBox_.Refresh();
  } else if (code == CBN_SELCHANGE) {
    // The box shows the chosen entry only after this notification; the rules read it now.
    const LRESULT chosen = SendMessageW(control, CB_GETCURSEL, 0, 0);
    if (chosen >= 0 && Form1Row(list).kind == ControlKind::EditableList) {
      std::wstring entry(
          static_cast<std::size_t>(SendMessageW(control, CB_GETLBTEXTLEN, chosen, 0)) + 1, L'\0');
      entry.resize(static_cast<std::size_t>(
          SendMessageW(control, CB_GETLBTEXT, chosen, reinterpret_cast<LPARAM>(entry.data()))));
      SetWindowTextW(control, entry.c_str());
    }
    model_.Changed(list);
  } else if (code == CBN_EDITCHANGE) {
    TypedTextChoosesNothing(control);
    model_.Changed(list);
  }
}

// Typing in a closed list leaves no entry chosen, whatever was chosen before (Windows' own
// lists do so, except right after an entry was chosen with the arrow keys): the typed text
// stays, and so does the caret.
void Form1::TypedTextChoosesNothing(HWND list) {
  if (SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0) || SendMessageW(list, CB_GETCURSEL, 0, 0) < 0)
    return;
  const std::wstring typed = WindowTextOf(list);
  DWORD start = 0, end = 0;
  SendMessageW(list, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);  // this empties the text too
  SetWindowTextW(list, typed.c_str());
  SendMessageW(list, CB_SETEDITSEL, 0, MAKELPARAM(start, end));
}

// The context menu of `owner` in the table, if it has one: the model hears of the item chosen.
// False when `owner` has none.
bool Form1::ShowMenu(HWND owner, LPARAM at) {
  const ControlSpec* row = RowOf(owner);
  const MenuSpec* menu = row != nullptr ? Form1MenuOf(row->control) : nullptr;
  if (menu == nullptr || !Offered(*menu)) return false;
  if (const MenuItemSpec* chosen = ChooseFromMenu(window_, owner, at, *menu, model_))
    model_.Chosen(chosen->item);
  return true;
}

// Between the steps of a long action: the window is painted and can be closed, which ends
// the action (CancelFd); the rest of the operator's input to it is dropped.
void Form1::KeepResponding() {
  keptResponding_ = true;
  PumpWhileBusy(0, 0);
}

int Form1::CancelFd() const { return CancelNumber(cancel_); }

std::string Form1::Text(Control control) const { return WindowUtf8(ControlHwnd(control)); }

void Form1::SetText(Control control, std::string_view text) {
  SetWindowUtf8(ControlHwnd(control), text);
}

int Form1::Selected(Control control) const {
  return static_cast<int>(SendMessageW(ControlHwnd(control), CB_GETCURSEL, 0, 0));
}

void Form1::Select(Control control, int position) {
  SendMessageW(ControlHwnd(control), CB_SETCURSEL, static_cast<WPARAM>(position), 0);
}

void Form1::SetEntries(Control control, std::span<const std::string_view> entries) {
  const HWND list = ControlHwnd(control);
  SendMessageW(list, CB_RESETCONTENT, 0, 0);
  if (list == deviceBox_.box()) deviceBox_.Forget();
  for (const std::string_view entry : entries)
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(entry).c_str()));
}

bool Form1::Ticked(Control control) const {
  return SendMessageW(ControlHwnd(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Form1::SetEnabled(Control control, bool enabled) {
  EnableWindow(ControlHwnd(control), enabled ? TRUE : FALSE);
}

void Form1::SetToolTip(Control control, std::string_view text) {
  const std::wstring wide = Wide(text);
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(ControlHwnd(control));
  tool.lpszText = const_cast<wchar_t*>(wide.c_str());
  SendMessageW(toolTip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Form1::SetTitle(std::string_view title) { SetWindowUtf8(window_, title); }

void Form1::SetBusy(bool busy) {
  busy_ = busy;
  SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
  if (!busy && keptResponding_) {
    keptResponding_ = false;
    DropInputOfTheBusyTime();
  }
}

// Input that reached the queue after the action's last look at it was meant for the busy
// window too: dropped as the rest was, or it would start an action the moment this one ends.
void Form1::DropInputOfTheBusyTime() {
  for (const auto& [first, last] : {std::pair{WM_KEYFIRST, WM_KEYLAST},
                                   std::pair{WM_MOUSEFIRST, WM_MOUSELAST}})
    if (!PumpWhileBusy(first, last)) return;
}

void Form1::Close() { SendMessageW(window_, WM_CLOSE, 0, 0); }

void Form1::ShowMessage(const std::string& message) {
  // A search can end with an answer just as the window closes: nobody is left to read it.
  if (!closed_) ShowMessageBox(window_, message);
}

bool Form1::CanPreview() const { return PreviewAvailable(); }

void Form1::PreviewTicket(const QrPrintSettings& settings, FailureReporter& reporter) {
  if (const std::optional<Bytes> bytes = PreviewTicketBytes(settings, reporter))
    ShowPreview(window_, *bytes, kPaper80mmDots);
}

void Form1::PreviewCodeTables() { ShowPreview(window_, CodeTableTicketBytes(), kPaper80mmDots); }

void Form1::PreviewProbe(const QrPrintSettings& settings, int paperDots,
                         FailureReporter& reporter) {
  if (const std::optional<Bytes> bytes = LimitsTicketBytes(settings, paperDots, reporter))
    ShowPreview(window_, *bytes, paperDots);
}

}  // namespace qrticket::ui
