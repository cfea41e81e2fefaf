// Printer ports ("COM1:", "LPT1:") and other device files under /dev.
#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

#include "devices/device_name.h"
#include "devices/output_device.h"

namespace qrticket {

// Opens a port or a device file like any file (OpenFileDevice), with failures that say what to
// do about them. A port name out of range fails as a bad name; a port whose device file is not
// there, or that has no hardware behind it (a serial port the kernel found no UART for), fails
// naming both the port and the file ("A porta "COM7:" (/dev/ttyS6) não existe") and is never
// created as a file. A refusal names the group that gives access, when one does. `root` is
// where /dev and /sys are found; tests point it at a fake tree.
std::unique_ptr<OutputDevice> OpenDeviceNode(const DeviceTarget& target, std::string_view device,
                                             const ChannelOptions& options, SystemCalls& sys,
                                             const std::filesystem::path& root = "/");

// For a port name: fails, as OpenDeviceNode does, when the number is out of range or the port
// is not there (no device file, or no hardware behind it); opens nothing.
void CheckPortIsThere(const DeviceTarget& port, const std::filesystem::path& root = "/");

// True for a path under /dev/, which OpenDeviceNode handles.
bool IsDeviceNodePath(std::string_view path);

}  // namespace qrticket
