// The device names the device box's tool tip gives on Windows: ports, installed printers,
// files and the network.
#include "form_texts.h"

namespace qrticket::ui::texts {

std::string_view DeviceNamesHelp() {
  return "Porta, impressora ou ficheiro de saída: LPT1:, COM1:, printer:NOME, tcp://IP:9100 ...";
}

}  // namespace qrticket::ui::texts
