// Serial ports, written to by the file device (raw output on a tty): USB adapters and USB
// printers that present themselves as a modem, Bluetooth serial links (the usual link of
// mobile printers) and the machine's own UARTs, with the settings each is at now.
#include <charconv>
#include <map>

#include "devices/device_name.h"
#include "devices/posix/device_tree.h"
#include "devices/posix/serial_line.h"
#include "discovery/posix/device_listers.h"
#include "discovery/discovery_texts.h"
#include "discovery/posix/local_device.h"

namespace qrticket {
namespace {

namespace fs = std::filesystem;
using namespace device_tree;

// udev's stable names: node name ("ttyUSB0") -> "/dev/serial/by-id/usb-FTDI_...-if00-port0".
// The links are relative ("../../ttyUSB0"), so only the target's last part is compared.
std::map<std::string, std::string> StableNames(const fs::path& root) {
  std::map<std::string, std::string> names;
  std::error_code error;
  for (const auto& link : fs::directory_iterator(Under(root, "/dev/serial/by-id"), error)) {
    std::error_code linkError;
    const fs::path target = fs::read_symlink(link.path(), linkError);
    if (linkError) continue;
    const std::string stable = "/dev/serial/by-id/" + link.path().filename().string();
    auto [at, inserted] = names.emplace(target.filename().string(), stable);
    if (!inserted && stable < at->second) at->second = stable;  // the same choice every time
  }
  return names;
}

// "FTDI FT232R USB UART": the USB device above the tty in sysfs, a few levels up from the
// port's own device folder; empty when there is none (Bluetooth, a fake tree without it).
std::string UsbProductOf(const fs::path& root, const std::string& node) {
  std::error_code error;
  fs::path dir = fs::canonical(Under(root, "/sys/class/tty/" + node + "/device"), error);
  if (error) return {};
  const fs::path top = fs::canonical(root, error);
  if (error) return {};
  const std::string inside = top.string();
  for (int level = 0; level < 4 && dir != top && dir.string().starts_with(inside); ++level) {
    if (fs::exists(dir / "idVendor", error)) {
      const std::string maker = ReadAttribute(dir / "manufacturer").value_or("");
      const std::string product = ReadAttribute(dir / "product").value_or("");
      if (maker.empty() || product.starts_with(maker)) return product;
      return product.empty() ? maker : maker + " " + product;
    }
    dir = dir.parent_path();
  }
  return {};
}

// `description` with the settings the tty at `node` is at, when they can be read. Opening a
// tty to read them changes nothing on it; Bluetooth links are left alone (opening one makes
// the connection) and so is the console (the system's, not a printer's).
std::string WithCurrentSettings(const fs::path& node, std::string description) {
  const std::optional<SerialSettings> settings = CurrentSettings(node.string());
  if (!settings) return description;
  return discovery_texts::AtSettings(std::move(description), SerialSettingsText(*settings));
}

void AddUsbSerial(const fs::path& root, std::string_view prefix,
                  const std::map<std::string, std::string>& stable,
                  std::vector<DiscoveredDevice>& devices) {
  for (const DeviceNode& node : NumberedNodes(root, "/dev", prefix)) {
    const auto link = stable.find(node.name);
    std::string name = link != stable.end() ? link->second : node.path;
    devices.push_back(LocalDevice(
        root, node.path, std::move(name),
        WithCurrentSettings(Under(root, node.path),
                            discovery_texts::UsbSerialPort(node.path, UsbProductOf(root, node.name)))));
  }
}

// The kernel makes the first few ttyS nodes whether or not a UART is there; a placeholder
// reports type 0 (unknown) and fails every write.
int UartType(const fs::path& root, const std::string& node) {
  const auto text = ReadAttribute(Under(root, "/sys/class/tty/" + node + "/type"));
  int type = 0;
  if (!text || std::from_chars(text->data(), text->data() + text->size(), type).ec != std::errc())
    return 0;
  return type;
}

}  // namespace

std::vector<DiscoveredDevice> ListSerialPorts(const fs::path& root) {
  std::vector<DiscoveredDevice> devices;
  const auto stable = StableNames(root);
  AddUsbSerial(root, "ttyUSB", stable, devices);
  AddUsbSerial(root, "ttyACM", stable, devices);
  for (const DeviceNode& node : NumberedNodes(root, "/dev", "rfcomm"))
    devices.push_back(
        LocalDevice(root, node.path, node.path, discovery_texts::BluetoothSerialPort(node.path)));
  for (const DeviceNode& node : NumberedNodes(root, "/dev", "ttyS")) {
    const int type = UartType(root, node.name);
    if (type == 0) continue;
    const bool console =
        ReadAttribute(Under(root, "/sys/class/tty/" + node.name + "/console")) == "Y";
    std::string name = PortNameOf(node.path);
    if (name.empty()) name = node.path;
    std::string description = discovery_texts::SerialPort(node.path, type, console);
    if (!console) description = WithCurrentSettings(Under(root, node.path), std::move(description));
    devices.push_back(LocalDevice(root, node.path, std::move(name), std::move(description)));
  }
  return devices;
}

}  // namespace qrticket
