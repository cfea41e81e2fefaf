// qrticket --list-devices, for scripts and for finding the printer's name from a terminal.
#include "list_devices.h"

#include <algorithm>

#include "cli_options.h"

namespace qrticket::cli {
namespace {

std::string OneLine(std::string text) {
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
  return text;
}

}  // namespace

int WriteDeviceList(const std::vector<DiscoveredDevice>& devices, std::ostream& out) {
  for (const DiscoveredDevice& device : devices)
    out << OneLine(device.name) << '\t' << OneLine(ShownDescription(device)) << '\n';
  out.flush();
  return kExitOk;
}

int ListDevices(std::ostream& out) { return WriteDeviceList(DiscoverDevices(), out); }

}  // namespace qrticket::cli
