// A device node of the list, with the access the operator has to it.
#include "discovery/posix/local_device.h"

#include "devices/posix/device_access.h"
#include "devices/posix/device_tree.h"

namespace qrticket::device_tree {

DiscoveredDevice LocalDevice(const std::filesystem::path& root, const std::string& devicePath,
                             std::string name, std::string description) {
  const DeviceAccess access = AccessOf(Under(root, devicePath));
  return {.name = std::move(name),
          .description = std::move(description),
          .writable = access.writable,
          .accessGroup = access.group};
}

}  // namespace qrticket::device_tree
