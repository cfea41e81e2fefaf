#include "symbols/probe_job.h"

#include <new>

#include "devices/device_channel.h"
#include "devices/device_failures.h"
#include "symbols/probe_ticket.h"

namespace qrticket {
namespace {
constexpr int kProbeChannel = 1;
}

void PrintProbe(const QrPrintSettings& settings, int paperDots, FailureReporter& reporter,
                const ChannelOptions& options, SystemCalls& sys) {
  DeviceChannel channel(options, sys);
  std::string message;
  try {
    // Made before the open, so settings without any symbol leave the device untouched.
    const std::vector<PrintStatement> ticket = ProbeStatements(settings, paperDots);
    channel.OpenForOutput(kProbeChannel, settings.deviceName);
    for (const PrintStatement& statement : ticket) channel.PrintItems(kProbeChannel, statement);
    channel.CloseAll();
    return;
  } catch (const PrintFailure& failure) {
    message = kFailurePrefix + failure.description();
  } catch (const std::bad_alloc&) {
    message = kFailurePrefix + failures::OutOfMemory().description();
  }
  channel.ReleaseAll();
  reporter.ShowFailure(message);
}

}  // namespace qrticket
