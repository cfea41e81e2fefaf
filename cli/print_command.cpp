// Printing one ticket from the command line.
#include "print_command.h"

#include "ticket_job.h"

namespace qrticket::cli {
namespace {

// Failures go to the error stream, one line, prefix included.
class StreamReporter final : public FailureReporter {
 public:
  explicit StreamReporter(std::ostream& err) : err_(err) {}
  void ShowFailure(const std::string& message) override { err_ << message << '\n'; }

 private:
  std::ostream& err_;
};

}  // namespace

int RunPrintTicket(const CliOptions& options, std::ostream& err, int (*caughtSignal)(),
                   SystemCalls& sys) {
  StreamReporter reporter(err);
  const JobResult result = PrintQrTest(options.settings, reporter, options.channel, sys);
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

}  // namespace qrticket::cli
