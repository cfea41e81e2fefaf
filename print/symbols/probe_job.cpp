#include "symbols/probe_job.h"

#include "symbols/probe_ticket.h"
#include "ticket/statements_job.h"

namespace qrticket {

void PrintProbe(const QrPrintSettings& settings, int paperDots, FailureReporter& reporter,
                const ChannelOptions& options, SystemCalls& sys) {
  // Made before the open, so settings without any symbol leave the device untouched.
  PrintStatements(
      settings.deviceName, [&] { return ProbeStatements(settings, paperDots); }, reporter, options,
      sys);
}

}  // namespace qrticket
