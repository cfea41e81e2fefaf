// The QR test ticket job: checks the text, opens the device, writes the ticket and reports a
// failure once.
#include "ticket_job.h"

#include <new>

#include "device_channel.h"
#include "failure_messages.h"
#include "module_size.h"
#include "qr_commands.h"
#include "ticket.h"

namespace qrticket {
namespace {
constexpr int kTicketChannel = 1;
}

void PrintQrTest(const QrPrintSettings& settings, FailureReporter& reporter,
                 const ChannelOptions& options, SystemCalls& sys) {
  DeviceChannel channel(options, sys);
  std::string message;
  try {
    // Checked before the open, so a text that cannot be sent leaves the device untouched.
    if (settings.dataText.size() > static_cast<std::size_t>(kMaxDataLength))
      throw failures::DataTooLong();
    channel.OpenForOutput(kTicketChannel, settings.deviceName);
    const std::int16_t moduleSize = ConvertModuleSize(settings.moduleSizeText);
    for (const PrintStatement& statement : TicketStatements(settings, moduleSize))
      channel.PrintItems(kTicketChannel, statement);
    channel.CloseAll();
    return;
  } catch (const PrintFailure& failure) {
    message = kFailurePrefix + failure.description();
  } catch (const std::bad_alloc&) {
    message = kFailurePrefix + failures::OutOfMemory().description();
  }
  // Released before the operator is told, so a box left open does not hold the port.
  channel.ReleaseAll();
  reporter.ShowFailure(message);
}

}  // namespace qrticket
