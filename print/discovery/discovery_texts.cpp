// Descriptions of discovered devices, as the device list and --list-devices show them.
#include "discovery/discovery_texts.h"

#include <cctype>

namespace qrticket::discovery_texts {
namespace {

// The UART types Linux reports in /sys/class/tty/ttyS*/type (PORT_* of serial_core.h).
struct UartType {
  int type;
  std::string_view name;
};
constexpr UartType kUartTypes[] = {
    {1, "8250"},   {2, "16450"},   {3, "16550"}, {4, "16550A"},    {5, "Cirrus"},
    {6, "16650"},  {7, "16650V2"}, {8, "16750"}, {9, "Startech"},  {10, "16C950"},
    {11, "16654"}, {12, "16850"},  {13, "RSA"},  {14, "NS16550A"}, {15, "XScale"},
};

// printer-state (RFC 8011, 5.4.11).
struct PrinterState {
  int state;
  std::string_view words;
};
constexpr PrinterState kPrinterStates[] = {
    {3, "pronta"},
    {4, "a imprimir"},
    {5, "parada"},
};

bool MentionsEscPos(std::string_view commandSet) {
  constexpr std::string_view kEscPos = "ESC/POS";
  for (std::size_t i = 0; i + kEscPos.size() <= commandSet.size(); ++i) {
    bool same = true;
    for (std::size_t k = 0; k < kEscPos.size() && same; ++k)
      same = std::toupper(static_cast<unsigned char>(commandSet[i + k])) == kEscPos[k];
    if (same) return true;
  }
  return false;
}

// Built by appending: GCC 12 at -O3 warns falsely (-Wrestrict) on "literal" + std::string&&.
std::string Quoted(std::string_view text) { return std::string("\"").append(text).append("\""); }

}  // namespace

std::string UsbPrinter(std::string_view printerName, std::string_view commandSet,
                       std::string_view port) {
  std::string text = "Impressora USB";
  if (!printerName.empty()) text.append(" ").append(printerName);
  if (MentionsEscPos(commandSet)) text += " (ESC/POS)";
  if (!port.empty()) text.append(", porta ").append(port);
  return text;
}

std::string SerialPort(std::string_view path, int uartType, bool console) {
  std::string text = "Porta série " + std::string(path);
  for (const UartType& uart : kUartTypes)
    if (uart.type == uartType) text += " (UART " + std::string(uart.name) + ")";
  if (console) text += ", consola do sistema";
  return text;
}

std::string UsbSerialPort(std::string_view path, std::string_view product) {
  std::string text = "Porta série USB " + std::string(path);
  if (!product.empty()) text += ": " + std::string(product);
  return text;
}

std::string BluetoothSerialPort(std::string_view path) {
  return "Porta série Bluetooth " + std::string(path);
}

std::string AtSettings(std::string description, std::string_view settings) {
  return description.append(", a ").append(settings);
}

std::string ParallelPort(std::string_view path, std::string_view printerName) {
  std::string text = "Porta paralela " + std::string(path);
  if (!printerName.empty()) text += ": " + std::string(printerName);
  return text;
}

std::string CupsQueue(const CupsQueueFacts& facts) {
  std::string text = "Fila CUPS";
  if (!facts.makeAndModel.empty()) text += ": " + facts.makeAndModel;
  for (const PrinterState& state : kPrinterStates)
    if (state.state == facts.state) text += ", " + std::string(state.words);
  if (facts.state == 5 && !facts.stateMessage.empty())
    text += " (" + Quoted(facts.stateMessage) + ")";
  if (!facts.accepting) text += ", não aceita trabalhos";
  if (facts.isDefault) text += ", predefinida";
  return text;
}

std::string WindowsPrinter(std::string_view driver, std::string_view port, bool isDefault,
                           std::string_view state) {
  std::string text = "Impressora do Windows";
  if (!driver.empty()) text += ": " + std::string(driver);
  if (!port.empty()) text += ", porta " + std::string(port);
  if (!state.empty()) text += ", " + std::string(state);
  if (isDefault) text += ", predefinida";
  return text;
}

std::string WindowsSerialPort(std::string_view friendlyName) {
  return "Porta série: " + std::string(friendlyName);
}

std::string WindowsParallelPort(std::string_view friendlyName) {
  return "Porta paralela: " + std::string(friendlyName);
}

std::string Preview() {
  return "Pré-visualização: mostra no ecrã o talão que a impressora imprimiria";
}

std::string NoAccess(std::string_view group) {
  if (group.empty()) return " — sem permissão de escrita";
  return " — sem permissão: junte-se ao grupo " + std::string(group);
}

}  // namespace qrticket::discovery_texts
