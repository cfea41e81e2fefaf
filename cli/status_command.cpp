// --status prints what the printer said; --check-status wraps the ticket job.
#include "status_command.h"

#include <ostream>

#include "cli_options.h"
#include "devices/device_name.h"
#include "devices/failure.h"
#include "print_command.h"
#include "status/status_query.h"
#include "status/status_texts.h"
#include "ticket/noting_reporter.h"

namespace qrticket::cli {
namespace {

// Prefix of a --status line that is no answer of the printer but a failure to ask.
constexpr const char* kStatusFailurePrefix = "Falha ao pedir o estado: ";
// Prefix of a --find-speed line that says why the search could not be made.
constexpr const char* kSpeedFailurePrefix = "Falha ao procurar a velocidade: ";

// A serial line that stays silent may be at another speed than the printer's.
bool SilentSerialLine(const PrintFailure& failure, const std::string& device) {
  return failure.code() == FailureCode::NoAnswer && IsSerialDevice(ResolveDeviceName(device));
}

}  // namespace

int RunStatus(const std::string& device, std::ostream& out, std::ostream& err,
              const StatusOptions& options, int (*caughtSignal)()) {
  try {
    const StatusReport report = QueryPrinterStatus(device, options);
    for (const std::string& line : StatusLines(report)) out << line << '\n';
    return report.ready() ? kExitOk : kExitPrintFailed;
  } catch (const PrintFailure& failure) {
    err << kStatusFailurePrefix << failure.description() << '\n';
    if (SilentSerialLine(failure, device))
      err << "qrticket: a linha pode estar a outra velocidade que a da impressora: "
             "--find-speed procura-a\n";
    const int signal = caughtSignal != nullptr ? caughtSignal() : 0;
    if (failure.code() == FailureCode::Interrupted && signal != 0)
      return kExitSignalBase + signal;
    return kExitPrintFailed;
  }
}

int RunFindSpeed(const std::string& device, std::ostream& out, std::ostream& err,
                 const SpeedSearchOptions& options, int (*caughtSignal)()) {
  err << "qrticket: " << SpeedSearchWarning() << '\n';
  try {
    const auto result = FindSerialSettings(device, options, [&err](const SerialSettings& s) {
      err << "qrticket: " << TryingSerialSettings(SerialSettingsText(s)) << '\n';
    });
    if (!result.found) {
      err << "qrticket: "
          << (result.cutAt ? SpeedSearchCut(options.whole, SerialSettingsText(*result.cutAt))
                           : NoSpeedAnswered())
          << '\n';
      return kExitPrintFailed;
    }
    out << NameWithSettings(device, *result.found) << '\n';
    return kExitOk;
  } catch (const PrintFailure& failure) {
    err << kSpeedFailurePrefix << failure.description() << '\n';
    const int signal = caughtSignal != nullptr ? caughtSignal() : 0;
    if (failure.code() == FailureCode::Interrupted && signal != 0)
      return kExitSignalBase + signal;
    return kExitPrintFailed;
  }
}

int RunCheckedTicket(const QrPrintSettings& settings, const ChannelOptions& channel,
                     FailureReporter& reporter, std::ostream& err, int (*caughtSignal)()) {
  // A job that failed anywhere reports through the reporter; the rest counts as success.
  NotingReporter noting(reporter);
  JobResult job;
  for (const std::string& warning :
       PrintQrTestWithStatusCheck(settings, noting, channel, {}, SystemCalls::Real(), &job))
    err << "Aviso: " << warning << '\n';
  // The ticket's own outcome (0, 3, 1 or a signal's), unless the printer failed the check
  // after a delivered ticket, or a signal stopped the check.
  const int signal = caughtSignal != nullptr ? caughtSignal() : 0;
  if (noting.failed && signal != 0) return kExitSignalBase + signal;
  if (noting.failed && job.status != JobResult::Status::Failed) return kExitPrintFailed;
  return ExitCodeFor(job, settings, err, caughtSignal);
}

}  // namespace qrticket::cli
