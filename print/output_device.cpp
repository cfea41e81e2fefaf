// Picks the transport for a device name.
#include "output_device.h"

#include "cups_device.h"
#include "device_name.h"
#include "device_node.h"
#include "failure_messages.h"
#include "file_device.h"
#include "tcp_device.h"

namespace qrticket {

std::unique_ptr<OutputDevice> OpenOutputDevice(std::string_view name,
                                               const ChannelOptions& options, SystemCalls& sys) {
  const DeviceTarget target = ResolveDeviceName(name);
  switch (target.kind) {
    case DeviceTarget::Kind::Tcp:
      return OpenTcpDevice(target, name, options, sys);
    case DeviceTarget::Kind::Invalid:
      throw failures::BadFileName(name);
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
