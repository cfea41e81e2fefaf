// The device names the device box's tool tip gives on Linux: ports, device files, CUPS queues
// and the network.
#include "form_texts.h"

namespace qrticket::ui::texts {

std::string_view DeviceNamesHelp() {
  return "Porta, fila CUPS ou ficheiro de saída: LPT1:, COM1:, /dev/usb/lp0, /dev/ttyUSB0, "
         "cups:FILA, tcp://IP:9100 ...";
}

}  // namespace qrticket::ui::texts
