// qrticket: prints one QR test ticket from the command line, for scripts and headless boxes.
#include <csignal>
#include <iostream>
#include <new>

#include "cli_options.h"
#include "failure_messages.h"
#include "print_command.h"
#include "signal_watch.h"

namespace cli = qrticket::cli;

int main(int argc, char** argv) {
  try {
    // A printer that hangs up must fail the job, not kill the process.
    std::signal(SIGPIPE, SIG_IGN);
    // Ctrl+C and termination end the job as a failure that releases the device.
    const cli::SignalWatch signals;

    const auto parsed =
        cli::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), signals.cancelFd());
    std::cout << parsed.out;
    std::cerr << parsed.err;
    if (parsed.interrupted) return cli::kExitSignalBase + cli::SignalWatch::CaughtSignal();
    if (!parsed.options) return parsed.exitCode;

    switch (parsed.options->mode) {
      case cli::Mode::PrintTicket:
        return cli::RunPrintTicket(*parsed.options, std::cerr, cli::SignalWatch::CaughtSignal);
    }
    return cli::kExitUsage;
  } catch (const std::bad_alloc&) {
    std::cerr << "qrticket: " << qrticket::failures::OutOfMemoryText() << '\n';
    return cli::kExitPrintFailed;
  }
}
