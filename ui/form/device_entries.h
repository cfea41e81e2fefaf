// ObjPrint's list: the nine fixed entries the load steps put there, then the devices this
// machine has, each with its description, read again every time the list opens.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "discovery/device_discovery.h"

namespace qrticket::ui {

// The fixed entries (the ports and the empty entry) come first and are never touched.
inline constexpr int kFixedDeviceEntries = 9;

struct DeviceEntry {
  std::string name;         // exactly the name to type: choosing it puts this in the box
  std::string description;  // shown greyed beside the name
};

using DeviceLister = std::function<std::vector<DiscoveredDevice>()>;

// This machine's devices, and the preview when the window shows one.
std::vector<DiscoveredDevice> ThisMachinesDevices(bool withPreview);

// The entries after the fixed ones: every device but those a fixed entry already names
// ("COM1:" on a machine that has COM1), which FixedEntryDescriptions describes instead.
std::vector<DeviceEntry> DeviceEntries(const std::vector<DiscoveredDevice>& devices);

// One description per fixed entry (kFixedDeviceEntries of them, in order): the one of the
// device that entry names, empty where this machine has none.
std::vector<std::string> FixedEntryDescriptions(const std::vector<DiscoveredDevice>& devices);

// Where the selection goes when the entries after the fixed ones are replaced by `entries`:
// a device chosen before (at `position`, named `chosen`) stays chosen while it is still there,
// and nothing is selected when it is gone; a fixed entry or no selection stays as it was.
int PositionAfterRefresh(int position, std::string_view chosen,
                         const std::vector<DeviceEntry>& entries);

}  // namespace qrticket::ui
