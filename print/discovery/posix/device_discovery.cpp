// The merger: every lister in a fixed order, then the preview.
#include "discovery/device_discovery.h"

#include "discovery/posix/device_listers.h"

namespace qrticket {

std::vector<DiscoveredDevice> DiscoverDevices(const DiscoveryOptions& options) {
  std::vector<DiscoveredDevice> devices;
  const auto add = [&devices](std::vector<DiscoveredDevice> more) {
    for (auto& device : more) devices.push_back(std::move(device));
  };
  add(ListUsbPrinters(options.root));
  add(ListSerialPorts(options.root));
  add(ListParallelPorts(options.root));
  if (options.includeCups) add(ListCupsQueues(options.cupsBound, options.cancelFd));
  if (options.includePreview) devices.push_back(PreviewDevice());
  return devices;
}

}  // namespace qrticket
