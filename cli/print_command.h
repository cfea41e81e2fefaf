// The command's default mode: print one ticket and turn the job's outcome into an exit code.
#pragma once

#include <ostream>

#include "cli_options.h"
#include "system_calls.h"

namespace qrticket::cli {

// Runs the job. A failure goes to `err` as "Falha na impressão:..."; a ticket printed without
// its symbol gets a warning there. Returns the exit code (see ExitCode): a job stopped from
// outside returns kExitSignalBase + the signal `caughtSignal` names once the job has ended.
int RunPrintTicket(const CliOptions& options, std::ostream& err, int (*caughtSignal)() = nullptr,
                   SystemCalls& sys = SystemCalls::Real());

}  // namespace qrticket::cli
