// The command's default mode: print one ticket and turn the job's outcome into an exit code.
#pragma once

#include <ostream>

#include "cli_options.h"
#include "devices/system_calls.h"
#include "ticket/ticket_job.h"

namespace qrticket::cli {

// Shows a failed job as one line on a stream, prefix included.
class StreamReporter final : public FailureReporter {
 public:
  explicit StreamReporter(std::ostream& err) : err_(err) {}
  void ShowFailure(const std::string& message) override { err_ << message << '\n'; }

 private:
  std::ostream& err_;
};

// Runs the job. A failure goes to `err` as "Falha na impressão:..."; a ticket printed without
// its symbol gets a warning there. Returns the exit code (see ExitCodeFor).
int RunPrintTicket(const CliOptions& options, std::ostream& err, int (*caughtSignal)() = nullptr,
                   SystemCalls& sys = SystemCalls::Real());

// The exit code for a job that ended with `result` (its failure, if any, already shown): 0
// delivered, 3 delivered without its symbol (the warning goes to `err`), 1 failed, and
// kExitSignalBase + the signal `caughtSignal` names for a job stopped from outside.
int ExitCodeFor(const JobResult& result, std::ostream& err, int (*caughtSignal)() = nullptr);

}  // namespace qrticket::cli
