// ObjPrint's discovered entries (see device_entries.h).
#include "device_entries.h"

#include <algorithm>

#include "form_layout.h"

namespace qrticket::ui {
namespace {

// ObjPrint's fixed entries, from the control table.
std::span<const std::string_view> FixedEntries() {
  return FindControl(Form1Layout(), "ObjPrint")->entries;
}

bool IsFixedEntry(std::string_view name) {
  const auto fixed = FixedEntries();
  return !name.empty() && std::find(fixed.begin(), fixed.end(), name) != fixed.end();
}

}  // namespace

std::vector<DiscoveredDevice> ThisMachinesDevices(bool withPreview) {
  DiscoveryOptions options;
  options.includePreview = withPreview;
  return DiscoverDevices(options);
}

std::vector<DeviceEntry> DeviceEntries(const std::vector<DiscoveredDevice>& devices) {
  std::vector<DeviceEntry> entries;
  entries.reserve(devices.size());
  for (const DiscoveredDevice& device : devices) {
    if (!IsFixedEntry(device.name)) entries.push_back({device.name, ShownDescription(device)});
  }
  return entries;
}

std::vector<std::string> FixedEntryDescriptions(const std::vector<DiscoveredDevice>& devices) {
  const auto fixed = FixedEntries();
  std::vector<std::string> descriptions(fixed.size());
  for (const DiscoveredDevice& device : devices) {
    const auto at = std::find(fixed.begin(), fixed.end(), device.name);
    if (!device.name.empty() && at != fixed.end())
      descriptions[static_cast<std::size_t>(at - fixed.begin())] = ShownDescription(device);
  }
  return descriptions;
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
