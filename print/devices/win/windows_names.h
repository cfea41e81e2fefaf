// What a device name means on Windows, beyond ResolveDeviceName: installed printers, and the
// "\\.\" form that opens a port itself.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "devices/device_name.h"

namespace qrticket {

// "printer:NAME" (any case of "printer"): the installed printer NAME as Windows lists it,
// spaces inside and all, without spaces around it ("printer: Recibos" is "Recibos"); empty
// for "printer:" alone, the default printer. nullopt for any other device name.
std::optional<std::string> InstalledPrinterName(std::string_view name);

// "usb:NAME" (any case of "usb"): the USB printer NAME as --list-devices shows it, without the
// spaces around it; nullopt for any other device name.
std::optional<std::string> UsbPrinterName(std::string_view name);

// The path that opens a port in range ("COM12:", "lpt1"): "\\.\COM12", "\\.\LPT1". A bare
// "COM12" would be taken as a file name from COM10 up.
std::string WindowsPortPath(const DeviceTarget& port);

}  // namespace qrticket
