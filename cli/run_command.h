// The frame around every mode of the qrticket command: signals, parsing, out of memory.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli_options.h"

namespace qrticket::cli {

// Parses `args` (without the program name), writes help, version and usage errors to `out` and
// `err`, and runs `runMode` on the options (it writes to the same two streams). While it runs, SIGINT, SIGTERM and SIGHUP end the
// job as interrupted (see SignalWatch) and SIGPIPE is ignored. Returns the exit code; running
// out of memory anywhere is a message on `err` and kExitPrintFailed, never an abort.
int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               int (*runMode)(const CliOptions& options, std::ostream& out,
                              std::ostream& err));

}  // namespace qrticket::cli
