// ObjPrint's list on Win32 (see device_box.h).
#include "device_box.h"

#include <algorithm>

#include "preview_window.h"
#include "win_text.h"

namespace qrticket::ui {
namespace {

// Space between the names and the descriptions, in average character widths.
constexpr int kGap = 3;

std::wstring EntryText(HWND box, int index) {
  std::wstring text(static_cast<std::size_t>(SendMessageW(box, CB_GETLBTEXTLEN, index, 0)) + 1,
                    L'\0');
  const LRESULT length =
      SendMessageW(box, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return text;
}

int TextWidth(HDC dc, const std::wstring& text) {
  SIZE extent{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  return extent.cx;
}

}  // namespace

DeviceBox::DeviceBox() : lister_([] { return ThisMachinesDevices(PreviewAvailable()); }) {}

void DeviceBox::Refresh() {
  const std::vector<DiscoveredDevice> devices =
      lister_ ? lister_() : std::vector<DiscoveredDevice>{};
  const std::vector<DeviceEntry> entries = DeviceEntries(devices);
  const std::vector<std::string> fixedDescriptions = FixedEntryDescriptions(devices);
  const std::wstring text = WindowTextOf(box_);
  const int index = static_cast<int>(SendMessageW(box_, CB_GETCURSEL, 0, 0));
  const std::string chosen = index >= kFixedDeviceEntries ? Utf8(EntryText(box_, index)) : "";

  // Nothing here is the operator's choice: a list changed by the program notifies nothing.
  while (SendMessageW(box_, CB_GETCOUNT, 0, 0) > kFixedDeviceEntries)
    SendMessageW(box_, CB_DELETESTRING, kFixedDeviceEntries, 0);
  descriptions_.clear();
  // A fixed entry this machine has ("COM1:") carries the device's description itself.
  for (std::size_t i = 0; i < fixedDescriptions.size() && i < static_cast<std::size_t>(kFixedDeviceEntries); ++i) {
    LPARAM described = 0;
    if (!fixedDescriptions[i].empty()) {
      descriptions_.push_back(Wide(fixedDescriptions[i]));
      described = static_cast<LPARAM>(descriptions_.size());
    }
    SendMessageW(box_, CB_SETITEMDATA, i, described);
  }
  for (const DeviceEntry& entry : entries) {
    descriptions_.push_back(Wide(entry.description));
    const LRESULT at =
        SendMessageW(box_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(entry.name).c_str()));
    SendMessageW(box_, CB_SETITEMDATA, static_cast<WPARAM>(at),
                 static_cast<LPARAM>(descriptions_.size()));
  }
  if (index >= kFixedDeviceEntries)
    SendMessageW(box_, CB_SETCURSEL, static_cast<WPARAM>(PositionAfterRefresh(index, chosen, entries)), 0);
  if (WindowTextOf(box_) != text) SetWindowTextW(box_, text.c_str());
  WidenList();
}

// The list is wide enough for the widest name and description, within the screen.
void DeviceBox::WidenList() {
  const HDC dc = GetDC(box_);
  const HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(box_, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  const int count = static_cast<int>(SendMessageW(box_, CB_GETCOUNT, 0, 0));
  int names = 0, widest = 0;
  for (int i = 0; i < count; ++i) names = std::max(names, TextWidth(dc, EntryText(box_, i)));
  nameColumn_ = names + kGap * metrics.tmAveCharWidth;
  for (const std::wstring& description : descriptions_)
    widest = std::max(widest, nameColumn_ + TextWidth(dc, description));
  SelectObject(dc, old);
  ReleaseDC(box_, dc);

  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(box_, MONITOR_DEFAULTTONEAREST), &monitor);
  const int room = monitor.rcWork.right - monitor.rcWork.left;
  const int margins = 2 * metrics.tmAveCharWidth + GetSystemMetrics(SM_CXVSCROLL) + 4;
  SendMessageW(box_, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(std::min(widest + margins, room)), 0);
}

void DeviceBox::Measure(MEASUREITEMSTRUCT& item) const {
  const HDC dc = GetDC(box_);
  const HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(box_, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(box_, dc);
  item.itemHeight = static_cast<UINT>(metrics.tmHeight + 2);
}

void DeviceBox::FitEntries() const {
  MEASUREITEMSTRUCT item{};
  Measure(item);
  SendMessageW(box_, CB_SETITEMHEIGHT, 0, static_cast<LPARAM>(item.itemHeight));
}

// An entry: its name, then its description greyed in a column of its own.
void DeviceBox::Draw(const DRAWITEMSTRUCT& item) const {
  if (item.itemID == static_cast<UINT>(-1)) return;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  SetBkMode(item.hDC, TRANSPARENT);
  RECT text = item.rcItem;
  text.left += 2;
  const std::wstring name = EntryText(box_, static_cast<int>(item.itemID));
  SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  DrawTextW(item.hDC, name.c_str(), static_cast<int>(name.size()), &text,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  const auto described = static_cast<std::size_t>(item.itemData);
  if (described >= 1 && described <= descriptions_.size()) {
    const std::wstring& description = descriptions_[described - 1];
    text.left += std::max(nameColumn_, TextWidth(item.hDC, name) + 8);
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_GRAYTEXT));
    DrawTextW(item.hDC, description.c_str(), static_cast<int>(description.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  if ((item.itemState & ODS_FOCUS) != 0) DrawFocusRect(item.hDC, &item.rcItem);
}

}  // namespace qrticket::ui
