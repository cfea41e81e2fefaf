// Parallel ports: /dev/lp*, the first three as "LPT1:" to "LPT3:". A port whose printer
// answered the IEEE 1284 probe names it (procfs, parportN for lpN).
#include "devices/device_name.h"
#include "devices/posix/device_tree.h"
#include "discovery/posix/device_listers.h"
#include "discovery/discovery_texts.h"
#include "devices/ieee1284_id.h"
#include "discovery/posix/local_device.h"

namespace qrticket {

std::vector<DiscoveredDevice> ListParallelPorts(const std::filesystem::path& root) {
  using namespace device_tree;
  std::vector<DiscoveredDevice> devices;
  for (const DeviceNode& node : NumberedNodes(root, "/dev", "lp")) {
    const Ieee1284Id id =
        ParseIeee1284Id(ReadAttribute(Under(root, "/proc/sys/dev/parport/parport" +
                                                      std::to_string(node.number) + "/autoprobe"))
                            .value_or(""));
    std::string name = PortNameOf(node.path);
    if (name.empty()) name = node.path;
    devices.push_back(LocalDevice(root, node.path, std::move(name),
                                  discovery_texts::ParallelPort(node.path, PrinterName(id))));
  }
  return devices;
}

}  // namespace qrticket
