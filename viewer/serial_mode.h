// qrticket-view --serial: the serial printer's front end, one file per platform (POSIX makes a
// pseudo-terminal; Windows has none and says so).
#pragma once

#include "view_options.h"

namespace qrticket::viewer::cli {

// Prints the line's path, then one line per job until Ctrl+C or SIGTERM. Returns an exit code.
int RunSerialPrinter(const ViewOptions& options);

}  // namespace qrticket::viewer::cli
