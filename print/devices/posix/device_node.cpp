// Ports and device files: the same open as any file, with failures the operator can act on.
#include "devices/posix/device_node.h"

#include "devices/posix/device_access.h"
#include "devices/device_failures.h"
#include "devices/posix/device_tree.h"
#include "devices/posix/file_device.h"

namespace qrticket {
namespace {

namespace fs = std::filesystem;

// The kernel makes the first few /dev/ttyS nodes whether or not there is a UART; a placeholder
// reports type 0 in sysfs, and every write to it fails. Anything else, or no sysfs entry, may work.
bool HardwareBehind(const fs::path& root, const std::string& path) {
  constexpr std::string_view kSerial = "/dev/ttyS";
  if (!std::string_view(path).starts_with(kSerial)) return true;
  const auto type = device_tree::ReadAttribute(device_tree::Under(
      root, "/sys/class/tty/" + path.substr(std::string_view("/dev/").size()) + "/type"));
  return !type || *type != "0";
}

}  // namespace

bool IsDeviceNodePath(std::string_view path) { return path.starts_with("/dev/"); }

void CheckPortIsThere(const DeviceTarget& port, const fs::path& root) {
  if (port.path.empty()) throw failures::BadPortName(port.portName);
  // Checked before any open, so that nothing anywhere opens (let alone creates) a missing port.
  std::error_code error;
  if (!fs::exists(device_tree::Under(root, port.path), error))
    throw failures::PortMissing(port.portName, port.path);
  if (!HardwareBehind(root, port.path))
    throw failures::PortWithoutHardware(port.portName, port.path);
}

std::unique_ptr<OutputDevice> OpenDeviceNode(const DeviceTarget& target, std::string_view device,
                                             const ChannelOptions& options, SystemCalls& sys,
                                             const fs::path& root) {
  const bool port = target.kind == DeviceTarget::Kind::Port;
  if (port) CheckPortIsThere(target, root);
  // Messages name a port as typed, without the spaces around it.
  const std::string_view shown = port ? std::string_view(target.portName) : device;
  const fs::path node = device_tree::Under(root, target.path);

  DeviceTarget rooted = target;
  rooted.kind = DeviceTarget::Kind::Path;
  rooted.path = node.string();
  try {
    return OpenFileDevice(rooted, shown, options, sys);
  } catch (const PrintFailure& failure) {
    if (port && failure.code() == FailureCode::NotFound)
      throw failures::PortMissing(target.portName, target.path);
    if (port && failure.code() == FailureCode::DeviceUnavailable)
      throw failures::PortWithoutHardware(target.portName, target.path);
    if (failure.code() == FailureCode::AccessRefused) {
      const DeviceAccess access = AccessOf(node);
      if (!access.writable && !access.group.empty())
        throw failures::AccessRefusedJoinGroup(shown, target.path, access.group);
    }
    throw;
  }
}

}  // namespace qrticket
