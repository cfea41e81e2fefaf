// qrticket: prints one QR test ticket from the command line, for scripts and headless boxes.
#include <csignal>
#include <iostream>

#include "cli_options.h"
#include "list_devices.h"
#include "status_command.h"
#include "ticket_job.h"

namespace {

// Failures go to stderr, one line, prefix included, and set the exit code.
class StderrReporter final : public qrticket::FailureReporter {
 public:
  void ShowFailure(const std::string& message) override {
    std::cerr << message << '\n';
    failed = true;
  }
  bool failed = false;
};

}  // namespace

int main(int argc, char** argv) {
  // A printer that hangs up must fail the job, not kill the process.
  std::signal(SIGPIPE, SIG_IGN);

  const auto parsed =
      qrticket::cli::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  std::cout << parsed.out;
  std::cerr << parsed.err;
  if (!parsed.options) return parsed.exitCode;
  if (parsed.options->listDevices) return qrticket::cli::ListDevices(std::cout);
  if (const auto code = qrticket::cli::RunSymbolMode(parsed.options->symbolModes,
                                                     parsed.options->settings,
                                                     parsed.options->channel, std::cout, std::cerr))
    return *code;

  const auto& options = *parsed.options;
  StderrReporter reporter;
  switch (options.status) {
    case qrticket::cli::StatusMode::Ask:
      return qrticket::cli::RunStatus(options.settings.deviceName, std::cout, std::cerr);
    case qrticket::cli::StatusMode::CheckAroundTicket:
      return qrticket::cli::RunCheckedTicket(options.settings, options.channel, reporter,
                                             std::cerr);
    case qrticket::cli::StatusMode::None:
      break;
  }
  qrticket::PrintQrTest(options.settings, reporter, options.channel);
  return reporter.failed ? qrticket::cli::kExitPrintFailed : qrticket::cli::kExitOk;
}
