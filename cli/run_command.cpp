// Parsing, signals and the last word on running out of memory, for every mode.
#include "run_command.h"

#include <new>

#include "devices/device_failures.h"
#include "devices/device_name.h"
#include "ticket/ticket_job.h"
#include "process_setup.h"
#include "signal_watch.h"

namespace qrticket::cli {
namespace {

void SayOutOfMemory(std::ostream& err) {
  try {
    err << "qrticket: " << failures::OutOfMemoryText() << '\n';
  } catch (...) {  // a stream set to throw: nothing more can be said
  }
}

// Whether the job writes to "-" (standard output).
bool PrintsToStandardOutput(const CliOptions& options) {
  const bool prints = options.mode == Mode::PrintTicket ||
                      options.mode == Mode::PrintTicketCheckingStatus ||
                      options.mode == Mode::PrintProbe;
  return prints && ResolveDeviceName(options.settings.deviceName).kind ==
                       DeviceTarget::Kind::StandardOutput;
}

}  // namespace

int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               int (*runMode)(const CliOptions& options, std::ostream& out,
                              std::ostream& err)) {
  try {
    const ProcessStart start = PrepareProcess();
    // Ctrl+C and termination end the job as a failure that releases the device.
    const SignalWatch signals;
    const ParseResult parsed = ParseCommandLine(args, signals.cancelFd());
    out << parsed.out;
    err << parsed.err;
    if (parsed.interrupted) return kExitSignalBase + SignalWatch::CaughtSignal();
    if (!parsed.options) return parsed.exitCode;
    // Standard output was closed (and is now /dev/null): the ticket would vanish unseen.
    if (start.standardOutputClosed && PrintsToStandardOutput(*parsed.options)) {
      err << kFailurePrefix << failures::StandardOutputClosed().description() << '\n';
      return kExitPrintFailed;
    }
    return runMode(*parsed.options, out, err);
  } catch (const std::bad_alloc&) {
    SayOutOfMemory(err);
    return kExitPrintFailed;
  }
}

}  // namespace qrticket::cli
