// qrticket-view --serial on Windows: there are no pseudo-terminals to be a serial line.
#include <iostream>

#include "render_report.h"
#include "serial_mode.h"

namespace qrticket::viewer::cli {

int RunSerialPrinter(const ViewOptions&) {
  std::cerr << "qrticket-view: " << say::SerialNotOnWindows() << '\n';
  return kExitUsage;
}

}  // namespace qrticket::viewer::cli
