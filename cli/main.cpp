// qrticket: prints one QR test ticket from the command line, for scripts and headless boxes.
#include <new>

#include "devices/device_failures.h"
#include "list_devices.h"
#include "preview_command.h"
#include "print_command.h"
#include "process_setup.h"
#include "run_command.h"
#include "signal_watch.h"
#include "status_command.h"
#include "symbol_modes.h"
#include "ticket/code_table_ticket.h"
#include "ticket/noting_reporter.h"

namespace cli = qrticket::cli;

namespace {

// One case per mode (see cli::Mode).
int RunMode(const cli::CliOptions& options, std::ostream& out, std::ostream& err) {
  const auto caught = cli::SignalWatch::CaughtSignal;
  // "VISUALIZAR:" is never a device: the virtual printer draws what would be sent.
  if (cli::WantsPreview(options)) return cli::RunPreview(options, out, err, caught);
  switch (options.mode) {
    case cli::Mode::PrintTicket:
      return cli::RunPrintTicket(options, err, caught);
    case cli::Mode::AskStatus: {
      qrticket::StatusOptions status;
      status.cancelFd = options.channel.cancelFd;
      return cli::RunStatus(options.settings.deviceName, out, err, status, caught);
    }
    case cli::Mode::PrintTicketCheckingStatus: {
      cli::StreamReporter reporter(err);
      return cli::RunCheckedTicket(options.settings, options.channel, reporter, err, caught);
    }
    case cli::Mode::FindSpeed: {
      qrticket::SpeedSearchOptions search;
      search.cancelFd = options.channel.cancelFd;
      return cli::RunFindSpeed(options.settings.deviceName, out, err, search, caught);
    }
    case cli::Mode::PrintCodeTables: {
      cli::StreamReporter toErr(err);
      qrticket::NotingReporter reporter(toErr);
      qrticket::PrintCodeTables(options.settings.deviceName, reporter, options.channel);
      if (!reporter.failed) return cli::kExitOk;
      return caught() != 0 ? cli::kExitSignalBase + caught() : cli::kExitPrintFailed;
    }
    case cli::Mode::ListDevices:
      return cli::ListDevices(out, err, options.channel.cancelFd, caught);
    case cli::Mode::CheckSymbol:
    case cli::Mode::PrintProbe: {
      const int code = *cli::RunSymbolMode(options.symbolModes, options.settings,
                                           options.channel, out, err);
      // A limits ticket stopped by a signal says which, as a ticket does.
      if (options.mode == cli::Mode::PrintProbe && code == cli::kExitPrintFailed && caught() != 0)
        return cli::kExitSignalBase + caught();
      return code;
    }
  }
  return cli::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  std::ostream& out = cli::StandardOutput();
  std::ostream& err = cli::StandardError();
  try {
    return cli::RunCommand(cli::Arguments(argc, argv), out, err, RunMode);
  } catch (const std::bad_alloc&) {  // not even the arguments could be copied
    err << "qrticket: " << qrticket::failures::OutOfMemoryText() << '\n';
    return cli::kExitPrintFailed;
  }
}
