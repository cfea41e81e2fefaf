// The merger on Windows: installed printers, USB printers, then the ports, then the preview.
#include "discovery/device_discovery.h"

#include "discovery/win/windows_listers.h"

namespace qrticket {

// `root` and the CUPS settings are Linux's: Windows lists its printers through its spooler.
std::vector<DiscoveredDevice> DiscoverDevices(const DiscoveryOptions& options) {
  std::vector<DiscoveredDevice> devices = DescribeInstalledPrinters(InstalledPrinters());
  for (DiscoveredDevice& usb : DescribeUsbPrinters(ListUsbPrinters(SystemCalls::Real())))
    devices.push_back(std::move(usb));
  for (DiscoveredDevice& port : ListWindowsPorts()) devices.push_back(std::move(port));
  if (options.includePreview) devices.push_back(PreviewDevice());
  return devices;
}

}  // namespace qrticket
