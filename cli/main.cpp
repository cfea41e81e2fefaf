// qrticket: prints one QR test ticket from the command line, for scripts and headless boxes.
#include <iostream>
#include <new>

#include "failure_messages.h"
#include "print_command.h"
#include "run_command.h"
#include "signal_watch.h"

namespace cli = qrticket::cli;

namespace {

// One case per mode (see cli::Mode).
int RunMode(const cli::CliOptions& options, std::ostream& err) {
  switch (options.mode) {
    case cli::Mode::PrintTicket:
      return cli::RunPrintTicket(options, err, cli::SignalWatch::CaughtSignal);
  }
  return cli::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return cli::RunCommand(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr,
                           RunMode);
  } catch (const std::bad_alloc&) {  // not even the arguments could be copied
    std::cerr << "qrticket: " << qrticket::failures::OutOfMemoryText() << '\n';
    return cli::kExitPrintFailed;
  }
}
