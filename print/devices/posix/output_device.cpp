// Picks the transport for a device name.
#include "devices/output_device.h"

#include "devices/posix/cups_device.h"
#include "devices/device_failures.h"
#include "devices/device_name.h"
#include "devices/posix/device_node.h"
#include "devices/posix/file_device.h"
#include "devices/tcp_device.h"

namespace qrticket {

std::unique_ptr<OutputDevice> OpenOutputDevice(std::string_view name,
                                               const ChannelOptions& options, SystemCalls& sys) {
  const DeviceTarget target = ResolveDeviceName(name);
  switch (target.kind) {
    case DeviceTarget::Kind::Tcp:
      return OpenTcpDevice(target, name, options, sys);
    case DeviceTarget::Kind::Invalid:
      throw failures::BadFileName(name, target.why);
    case DeviceTarget::Kind::Cups:
      return OpenCupsDevice(target, options);
    case DeviceTarget::Kind::Port:
      return OpenDeviceNode(target, name, options, sys);
    case DeviceTarget::Kind::Path:
    case DeviceTarget::Kind::StandardOutput:
      break;
  }
  if (IsDeviceNodePath(target.path)) return OpenDeviceNode(target, name, options, sys);
  return OpenFileDevice(target, name, options, sys);
}

}  // namespace qrticket
