// What every platform's device list shares: the preview entry and the shown description.
#include "discovery/device_discovery.h"

#include "discovery/discovery_texts.h"

namespace qrticket {

DiscoveredDevice PreviewDevice() {
  return {.name = kPreviewDevice,
          .description = discovery_texts::Preview(),
          .writable = true,
          .accessGroup = {}};
}

std::string ShownDescription(const DiscoveredDevice& device) {
  if (device.writable) return device.description;
  return device.description + discovery_texts::NoAccess(device.accessGroup);
}

}  // namespace qrticket
