// ObjPrint's list: the nine fixed entries, then the devices this machine has, each with its
// description, read again every time the list opens.
#pragma once

#include <QComboBox>

#include "device_entries.h"

namespace qrticket::ui {

class DeviceListBox final : public QComboBox {
  Q_OBJECT

 public:
  using Lister = DeviceLister;

  // The fixed entries (the ports and the empty entry) come first and are never touched.
  static constexpr int kFixedEntries = kFixedDeviceEntries;
  // The item role that holds a discovered device's description; the entry's text is exactly
  // the name to type, so choosing it puts that name in the box.
  static constexpr int kDescriptionRole = Qt::UserRole + 1;

  explicit DeviceListBox(QWidget* parent = nullptr);
  DeviceListBox(const DeviceListBox&) = delete;
  DeviceListBox& operator=(const DeviceListBox&) = delete;

  // Where the devices come from; by default this machine's (and the preview, when built).
  void SetLister(Lister lister) { lister_ = std::move(lister); }

  // Replaces everything after the fixed entries with a fresh list. The text in the box stays
  // as it is; a chosen device stays chosen while it is still there.
  void Refresh();

  // Reads the devices again, so a printer plugged in after start appears, then opens.
  void showPopup() override;

 private:
  void WidenPopupForDescriptions();

  Lister lister_;
};

}  // namespace qrticket::ui
