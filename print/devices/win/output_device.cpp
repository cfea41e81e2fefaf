// Picks the Windows transport for a device name.
#include "devices/output_device.h"

#include "devices/device_failures.h"
#include "devices/device_name.h"
#include "devices/tcp_device.h"
#include "devices/win/handle_device.h"
#include "devices/win/printer_device.h"
#include "devices/win/stdout_device.h"
#include "devices/win/usb_printers.h"
#include "devices/win/windows_names.h"

namespace qrticket {

std::unique_ptr<OutputDevice> OpenOutputDevice(std::string_view name,
                                               const ChannelOptions& options, SystemCalls& sys) {
  if (const std::optional<std::string> printer = InstalledPrinterName(name))
    return OpenPrinterDevice(*printer, name, options, sys);
  if (const std::optional<std::string> printer = UsbPrinterName(name))
    return OpenUsbPrinterDevice(*printer, name, options, sys);
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
  throw failures::BadFileName(name, target.why);
}

}  // namespace qrticket
