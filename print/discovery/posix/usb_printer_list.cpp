// USB printers: /dev/usb/lp*, written to by the file device like any device node. The usblp
// driver publishes the printer's IEEE 1284 device ID in sysfs, which names make and model.
#include "devices/posix/device_tree.h"
#include "discovery/posix/device_listers.h"
#include "discovery/discovery_texts.h"
#include "devices/ieee1284_id.h"
#include "discovery/posix/local_device.h"

namespace qrticket {

std::vector<DiscoveredDevice> ListUsbPrinters(const std::filesystem::path& root) {
  using namespace device_tree;
  std::vector<DiscoveredDevice> devices;
  for (const DeviceNode& node : NumberedNodes(root, "/dev/usb", "lp")) {
    const Ieee1284Id id = ParseIeee1284Id(
        ReadAttribute(Under(root, "/sys/class/usbmisc/" + node.name + "/device/ieee1284_id"))
            .value_or(""));
    devices.push_back(LocalDevice(root, node.path, node.path,
                                  discovery_texts::UsbPrinter(PrinterName(id), id.commandSet)));
  }
  return devices;
}

}  // namespace qrticket
