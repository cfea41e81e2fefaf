// USB printers that Windows' USB printing class drives, with or without an installed queue
// ("usb:EPSON TM-T20II"): found through SetupAPI, named by their IEEE 1284 ID, written to
// through their device path like any other device.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "devices/output_device.h"
#include "devices/win/system_calls.h"

namespace qrticket {

struct UsbPrinter {
  std::string name;        // "usb:EPSON TM-T20II", as --device takes it
  std::string commandSet;  // the ID's CMD field ("ESC/POS"), empty when it has none
  std::wstring path;       // what CreateFileW opens
  std::string port;        // "USB001", its second name after "usb:"; empty when it has none
};

// The USB printers plugged in now, by their port number (those without one last), then by
// device path: the order stays the same whatever order Windows lists them in, so two printers
// of one model keep their names between plug-ins. The make and model of the IEEE 1284 ID name
// each; one that names nothing is "usb:USB N" (its place in the list), and a second printer of
// a name already given gets " (2)" after it, a third " (3)".
std::vector<UsbPrinter> ListUsbPrinters(SystemCalls& sys);

// The printer plugged in now that `printer` (the name after "usb:", any case) names: its name
// first, else its port ("USB001"). Throws PrintFailure when none is; `device` is the name as
// typed.
UsbPrinter FindUsbPrinter(const std::string& printer, std::string_view device, SystemCalls& sys);

// Opens the USB printer `printer` (the name after "usb:", any case) for the ticket: overlapped
// writes bounded by the stall time-out, as a port's. Throws PrintFailure: not plugged in, or the
// device's own open failures. `device` is the name as typed.
std::unique_ptr<OutputDevice> OpenUsbPrinterDevice(const std::string& printer,
                                                   std::string_view device,
                                                   const ChannelOptions& options, SystemCalls& sys);

}  // namespace qrticket
