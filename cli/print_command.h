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
// its symbol, or with settings the printer ignores, gets a warning there. Returns the exit code
// (see ExitCodeFor).
int RunPrintTicket(const CliOptions& options, std::ostream& err, int (*caughtSignal)() = nullptr,
                   SystemCalls& sys = SystemCalls::Real());

// The exit code for a job that ended with `result` after printing `settings` (its failure, if
// any, already shown): 0 delivered, 3 delivered without its symbol (the QR builder failed, or
// the printer draws none for these settings: no data, Micro QR at level H, too many bytes),
// 1 failed, and kExitSignalBase + the signal `caughtSignal` names for a job stopped from
// outside. A delivered ticket's missing symbol and the settings the printer ignores are
// warnings on `err`.
int ExitCodeFor(const JobResult& result, const QrPrintSettings& settings, std::ostream& err,
                int (*caughtSignal)() = nullptr);

}  // namespace qrticket::cli
