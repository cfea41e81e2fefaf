// Picks the transport for a device name.
#include "output_device.h"

#include "device_name.h"
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
    case DeviceTarget::Kind::Path:
    case DeviceTarget::Kind::StandardOutput:
      break;
  }
  return OpenFileDevice(target, name, options, sys);
}

}  // namespace qrticket
