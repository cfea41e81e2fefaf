// ObjPrint on Win32: an editable drop-down list whose entries after the fixed ones are this
// machine's devices, each drawn as its name and, in grey, its description, and read again
// every time the list drops down.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "device_entries.h"

namespace qrticket::ui {

class DeviceBox final {
 public:
  // The devices this machine has, and "VISUALIZAR:" where the preview is built.
  DeviceBox();
  DeviceBox(const DeviceBox&) = delete;
  DeviceBox& operator=(const DeviceBox&) = delete;

  // The combo box it serves (owner-drawn, with strings).
  void Attach(HWND box) { box_ = box; }
  HWND box() const { return box_; }

  // The list was emptied; the descriptions go with it.
  void Forget() { descriptions_.clear(); }

  // Replaces everything after the fixed entries with a fresh list. The text in the box stays
  // as it is; a chosen device stays chosen while it is still there.
  void Refresh();

  // WM_MEASUREITEM and WM_DRAWITEM for the box.
  void Measure(MEASUREITEMSTRUCT& item) const;
  // The entries' height for the box's font, after the font changed.
  void FitEntries() const;
  void Draw(const DRAWITEMSTRUCT& item) const;

 private:
  void WidenList();

  HWND box_ = nullptr;
  DeviceLister lister_;
  std::vector<std::wstring> descriptions_;  // item data n > 0 is descriptions_[n - 1]
  int nameColumn_ = 0;                       // where the descriptions start, in pixels
};

}  // namespace qrticket::ui
