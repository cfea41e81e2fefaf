// frmSplash on Win32: the logo, the company, its web address and what the tool is, for three
// seconds at start-up.
#pragma once

#include <windows.h>

#include "win_layout.h"

namespace qrticket::ui {

class FrmSplash final {
 public:
  // Loads the splash, not yet shown: its controls, and Timer1 started, so the interval runs
  // from before the window is on screen. `owner`, the program's hidden window, keeps it off
  // the task bar.
  FrmSplash(HWND owner, UINT intervalMs);
  // Unloads it: the window goes, and its timer with it.
  ~FrmSplash();
  FrmSplash(const FrmSplash&) = delete;
  FrmSplash& operator=(const FrmSplash&) = delete;

  // Shows it centred and runs a message loop of its own until Timer1 hides it; nothing the
  // operator does ends it sooner. A quit message meanwhile ends the loop and is passed on.
  void ShowModal();

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateControls();

  HWND window_ = nullptr;
  int dpi_ = 96;
  FontSet fonts_;
  HBITMAP logo_ = nullptr;
};

}  // namespace qrticket::ui
