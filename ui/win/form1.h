// Form1 on Win32: the controls of the layout table as Windows' standard controls, a thin view
// over Form1Model.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <string_view>

#include "device_box.h"
#include "form1_model.h"
#include "message_box.h"
#include "win_layout.h"

namespace qrticket::ui {

class Form1 final : private Form1View {
 public:
  // Loads the window, not yet shown: the controls and their starting values. `owner`, the
  // program's hidden window, keeps it off the task bar.
  explicit Form1(HWND owner);
  ~Form1() override;
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Shows it modelessly, centred, with the keyboard in Text1.
  void Show();
  HWND window() const { return window_; }

  // The keys the window handles before the controls see them: Return and Enter press the
  // focused push button (once, however long held), and the dialog keys (Tab, Shift+Tab).
  // True when `message` was used up.
  bool TakeKey(MSG& message);

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateControls(HWND owner);
  void Layout();  // places every control and gives it its font at the window's DPI
  void SetTabOrder();
  void AddToolTips();
  void Command(int id, int code, HWND control);
  void ListCommand(Control list, int code, HWND control);
  bool ShowMenu(HWND owner, LPARAM at);
  void TypedTextChoosesNothing(HWND list);
  void DropInputOfTheBusyTime();
  HWND ControlHwnd(std::string_view name) const;
  HWND ControlHwnd(Control control) const { return ControlHwnd(Form1Row(control).name); }
  // The row of one of the window's own controls; nullptr for any other window.
  const ControlSpec* RowOf(HWND control) const;
  void AddToolTip(HWND control, const std::string& text);

  // Form1View
  std::string Text(Control control) const override;
  void SetText(Control control, std::string_view text) override;
  int Selected(Control control) const override;
  void Select(Control control, int position) override;
  void SetEntries(Control control, std::span<const std::string_view> entries) override;
  bool Ticked(Control control) const override;
  void SetEnabled(Control control, bool enabled) override;
  void SetToolTip(Control control, std::string_view text) override;
  void SetTitle(std::string_view title) override;
  void SetBusy(bool busy) override;
  void Close() override;
  void ShowMessage(const std::string& message) override;
  bool CanPreview() const override;
  void PreviewTicket(const QrPrintSettings& settings, FailureReporter& reporter) override;
  void PreviewCodeTables() override;
  void PreviewProbe(const QrPrintSettings& settings, int paperDots,
                    FailureReporter& reporter) override;
  void KeepResponding() override;
  int CancelFd() const override;

  HWND window_ = nullptr;
  int dpi_ = 96;
  FontSet fonts_;
  HBITMAP logo_ = nullptr;
  HWND toolTip_ = nullptr;
  HWND lastFocus_ = nullptr;  // where the keyboard was when the window lost it
  bool busy_ = false;
  bool keptResponding_ = false;  // the action under way let the window answer
  bool closed_ = false;  // the window is gone; an action still under way shows nothing more
  // Set once the window closes: a long action under way then ends (see CancelFd).
  HANDLE cancel_ = CreateEventW(nullptr, /*manualReset=*/TRUE, FALSE, nullptr);
  std::map<std::string_view, HWND> controls_;  // by their names in the layout table
  DeviceBox deviceBox_;
  MessageBoxReporter reporter_;
  Form1Model model_;
};

}  // namespace qrticket::ui
