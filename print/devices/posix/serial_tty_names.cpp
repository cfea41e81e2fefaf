// Which Linux paths name a serial device that settings may follow.
#include "devices/device_name.h"

namespace qrticket {

bool NamesSerialTty(std::string_view path) {
  // /dev/tty alone is the process's own terminal, and /dev/tty0 to /dev/tty63 are consoles.
  constexpr std::string_view kFamilies[] = {"/dev/ttyS",   "/dev/ttyUSB",  "/dev/ttyACM",
                                            "/dev/ttyAMA", "/dev/rfcomm",  "/dev/serial/",
                                            "/dev/pts/",   "/dev/ttymxc",  "/dev/ttyTHS"};
  for (const std::string_view family : kFamilies)
    if (path.starts_with(family) && path.size() > family.size()) return true;
  return false;
}

}  // namespace qrticket
