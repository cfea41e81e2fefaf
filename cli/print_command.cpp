// Printing one ticket from the command line.
#include "print_command.h"

#include <string_view>

namespace qrticket::cli {

namespace {

constexpr const char* kWarning = "qrticket: aviso: ";
constexpr const char* kWithoutSymbol = "o talão foi impresso sem o símbolo QR; ";

// What the printer makes of a delivered ticket: the settings it ignores and, when it draws no
// symbol, why. Returns the exit code.
int Delivered(const QrPrintSettings& settings, std::ostream& err) {
  const TicketNotices notices = NoticesFor(settings);
  for (std::size_t start = 0; start < notices.ignoredSettings.size();) {
    std::size_t end = notices.ignoredSettings.find('\n', start);
    if (end == std::string::npos) end = notices.ignoredSettings.size();
    err << kWarning << std::string_view(notices.ignoredSettings).substr(start, end - start)
        << '\n';
    start = end + 1;
  }
  if (notices.noSymbol.empty()) return kExitOk;
  err << kWarning << kWithoutSymbol << notices.noSymbol << '\n';
  return kExitPrintedWithoutSymbol;
}

}  // namespace

int ExitCodeFor(const JobResult& result, const QrPrintSettings& settings, std::ostream& err,
                int (*caughtSignal)()) {
  switch (result.status) {
    case JobResult::Status::Delivered:
      return Delivered(settings, err);
    case JobResult::Status::DeliveredWithoutSymbol:
      err << kWarning << kWithoutSymbol << "no lugar dele saiu: "
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
  return ExitCodeFor(PrintQrTest(options.settings, reporter, options.channel, sys),
                     options.settings, err, caughtSignal);
}

}  // namespace qrticket::cli
