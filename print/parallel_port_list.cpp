// Parallel ports: /dev/lp*, the first three as "LPT1:" to "LPT3:". A port whose printer
// answered the IEEE 1284 probe names it (procfs, parportN for lpN).
#include "device_listers.h"
#include "device_name.h"
#include "device_tree.h"
#include "discovery_texts.h"
#include "ieee1284_id.h"

namespace qrticket {

std::vector<DiscoveredDevice> ListParallelPorts(const std::filesystem::path& root) {
  using namespace device_tree;
  std::vector<DiscoveredDevice> devices;
  for (const NumberedEntry& entry : NumberedEntries(Under(root, "/dev"), "lp")) {
    const std::string path = "/dev/" + entry.name;
    if (!IsNode(Under(root, path))) continue;
    const Ieee1284Id id =
        ParseIeee1284Id(ReadAttribute(Under(root, "/proc/sys/dev/parport/parport" +
                                                      std::to_string(entry.number) + "/autoprobe"))
                            .value_or(""));
    std::string name = PortNameOf(path);
    if (name.empty()) name = path;
    devices.push_back(LocalDevice(root, path, std::move(name),
                                  discovery_texts::ParallelPort(path, PrinterName(id))));
  }
  return devices;
}

}  // namespace qrticket
