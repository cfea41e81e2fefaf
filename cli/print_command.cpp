// Printing one ticket from the command line.
#include "print_command.h"

namespace qrticket::cli {

int ExitCodeFor(const JobResult& result, std::ostream& err, int (*caughtSignal)()) {
  switch (result.status) {
    case JobResult::Status::Delivered:
      return kExitOk;
    case JobResult::Status::DeliveredWithoutSymbol:
      err << "qrticket: aviso: o talão foi impresso sem o símbolo QR; no lugar dele saiu: "
          << result.qrBlockFailure.value_or("") << '\n';
      return kExitPrintedWithoutSymbol;
    case JobResult::Status::Failed:
      break;
  }
  const int signal = caughtSignal != nullptr ? caughtSignal() : 0;
  if (result.failure == FailureCode::Interrupted && signal != 0) return kExitSignalBase + signal;
  return kExitPrintFailed;
}

int RunPrintTicket(const CliOptions& options, std::ostream& err, int (*caughtSignal)(),
                   SystemCalls& sys) {
  StreamReporter reporter(err);
  return ExitCodeFor(PrintQrTest(options.settings, reporter, options.channel, sys), err,
                     caughtSignal);
}

}  // namespace qrticket::cli
