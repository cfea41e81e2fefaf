// qrticket --list-devices, for scripts and for finding the printer's name from a terminal.
#include "list_devices.h"

#include <algorithm>

#include "cli_options.h"
#include "devices/text_encoding.h"

namespace qrticket::cli {
namespace {

std::string OneLine(std::string text) {
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
  return text;
}

}  // namespace

int WriteDeviceList(const std::vector<DiscoveredDevice>& devices, std::ostream& out,
                    std::ostream& err) {
  if (devices.empty())
    err << "qrticket: não se encontrou nenhum dispositivo. Ligue a impressora e volte a tentar; "
           "uma impressora de rede (tcp://ENDEREÇO) não aparece na lista.\n";
  for (const DiscoveredDevice& device : devices)
    out << ShownControls(OneLine(device.name)) << '\t' << OneLine(ShownDescription(device))
        << '\n';
  out.flush();
  return kExitOk;
}

int ListDevices(std::ostream& out, std::ostream& err, int cancelFd, int (*caughtSignal)()) {
  DiscoveryOptions options;
  options.cancelFd = cancelFd;
  const std::vector<DiscoveredDevice> devices = DiscoverDevices(options);
  const int signal = caughtSignal != nullptr ? caughtSignal() : 0;
  if (signal != 0) return kExitSignalBase + signal;
  return WriteDeviceList(devices, out, err);
}

}  // namespace qrticket::cli
