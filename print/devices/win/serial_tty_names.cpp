// Which Windows paths name a serial device that settings may follow: "\\.\COMn".
#include "devices/device_name.h"
#include "devices/win/handle_device.h"

namespace qrticket {

bool NamesSerialTty(std::string_view path) { return IsSerialPortPath(path); }

}  // namespace qrticket
