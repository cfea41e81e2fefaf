// Picks the Windows transport for a device name.
#include "output_device.h"

#include "device_name.h"
#include "failure_messages.h"
#include "handle_device.h"
#include "printer_device.h"
#include "stdout_device.h"
#include "tcp_device.h"
#include "windows_names.h"

namespace qrticket {

std::unique_ptr<OutputDevice> OpenOutputDevice(std::string_view name,
                                               const ChannelOptions& options, SystemCalls& sys) {
  if (const std::optional<std::string> printer = InstalledPrinterName(name))
    return OpenPrinterDevice(*printer, name, options, sys);
  const DeviceTarget target = ResolveDeviceName(name);
  switch (target.kind) {
    case DeviceTarget::Kind::Tcp:
      return OpenTcpDevice(target, name, options, sys);
    case DeviceTarget::Kind::StandardOutput:
      return OpenStandardOutput(name, options, sys);
    case DeviceTarget::Kind::Port:
      return OpenPortDevice(target, options, sys);
    case DeviceTarget::Kind::Path:
      return OpenHandleDevice(target, name, options, sys);
    case DeviceTarget::Kind::Cups:  // Windows has its own spooler: "printer:NAME"
    case DeviceTarget::Kind::Invalid:
      break;
  }
  throw failures::BadFileName(name);
}

}  // namespace qrticket
