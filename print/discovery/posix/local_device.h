// A device node under /dev as the device list shows it: its name, description and whether the
// operator may write to it.
#pragma once

#include <filesystem>
#include <string>

#include "discovery/device_discovery.h"

namespace qrticket::device_tree {

// A discovered local device: its name, description and access for the user.
DiscoveredDevice LocalDevice(const std::filesystem::path& root, const std::string& devicePath,
                             std::string name, std::string description);

}  // namespace qrticket::device_tree
