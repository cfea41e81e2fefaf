// The Portuguese descriptions of discovered devices, all in one place like the failure texts.
#pragma once

#include <string>
#include <string_view>

namespace qrticket::discovery_texts {

// "Impressora USB EPSON TM-T20II (ESC/POS)"; `printerName` from the device ID, maybe empty.
// With the port Windows gave it: "..., porta USB001".
std::string UsbPrinter(std::string_view printerName, std::string_view commandSet,
                       std::string_view port = {});
// A port of the machine itself: "Porta série /dev/ttyS0 (UART 16550A)", noting the console.
std::string SerialPort(std::string_view path, int uartType, bool console);
// "Porta série USB /dev/ttyUSB0: FTDI FT232R USB UART".
std::string UsbSerialPort(std::string_view path, std::string_view product);
std::string BluetoothSerialPort(std::string_view path);
// A serial port's description with the settings it is at now: "..., a 9600,n,8,1".
std::string AtSettings(std::string description, std::string_view settings);
// "Porta paralela /dev/lp0", with the printer's name when the port probed one.
std::string ParallelPort(std::string_view path, std::string_view printerName);

// What CUPS says of a queue.
struct CupsQueueFacts {
  std::string makeAndModel;  // printer-make-and-model, or printer-info when that is empty
  int state = 3;             // printer-state: 3 idle, 4 processing, 5 stopped
  std::string stateMessage;  // printer-state-message
  bool accepting = true;     // printer-is-accepting-jobs
  bool isDefault = false;
};
// "Fila CUPS: Local Raw Printer, pronta, predefinida"; a stopped queue quotes CUPS's reason.
std::string CupsQueue(const CupsQueueFacts& facts);

// A printer installed in Windows: "Impressora do Windows: Generic / Text Only, porta USB001,
// em pausa, predefinida"; `state` the words of what stops it printing, when something does.
std::string WindowsPrinter(std::string_view driver, std::string_view port, bool isDefault,
                           std::string_view state);
// A port as Windows' Device Manager names it: "Porta série: USB Serial Port (COM3)".
std::string WindowsSerialPort(std::string_view friendlyName);
std::string WindowsParallelPort(std::string_view friendlyName);

std::string Preview();

// Appended to the description of a device the user may not write to.
std::string NoAccess(std::string_view group);

}  // namespace qrticket::discovery_texts
