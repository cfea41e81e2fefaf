// "VISUALIZAR:" on the command line: the ticket (or the limits ticket) drawn by the virtual
// printer into a picture and its report, in a new folder of the system's temporary folder,
// instead of a file of that name.
#pragma once

#include <ostream>

#include "cli_options.h"

namespace qrticket::cli {

// True when `options` names "VISUALIZAR:" (any case, blanks around it) for a mode that goes
// to a device.
bool WantsPreview(const CliOptions& options);

// Draws the ticket of `options` and says on `out` where the picture and the report are. The
// status modes say on `err` that the preview has no status. Returns the exit code of the
// ticket it stands for: 0 drawn, 3 drawn without its symbol, 1 the job or the picture failed,
// kExitSignalBase + the signal `caughtSignal` names when one stopped the job.
int RunPreview(const CliOptions& options, std::ostream& out, std::ostream& err,
               int (*caughtSignal)() = nullptr);

}  // namespace qrticket::cli
