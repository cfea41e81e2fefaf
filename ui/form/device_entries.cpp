// ObjPrint's discovered entries (see device_entries.h).
#include "device_entries.h"

namespace qrticket::ui {

std::vector<DiscoveredDevice> ThisMachinesDevices(bool withPreview) {
  DiscoveryOptions options;
  options.includePreview = withPreview;
  return DiscoverDevices(options);
}

std::vector<DeviceEntry> DeviceEntries(const std::vector<DiscoveredDevice>& devices) {
  std::vector<DeviceEntry> entries;
  entries.reserve(devices.size());
  for (const DiscoveredDevice& device : devices)
    entries.push_back({device.name, ShownDescription(device)});
  return entries;
}

int PositionAfterRefresh(int position, std::string_view chosen,
                         const std::vector<DeviceEntry>& entries) {
  if (position < kFixedDeviceEntries) return position;
  if (chosen.empty()) return -1;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].name == chosen) return kFixedDeviceEntries + static_cast<int>(i);
  }
  return -1;
}

}  // namespace qrticket::ui
