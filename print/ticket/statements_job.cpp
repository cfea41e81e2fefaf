#include "ticket/statements_job.h"

#include <new>

#include "devices/device_channel.h"
#include "devices/device_failures.h"

namespace qrticket {
namespace {
constexpr int kStatementsChannel = 1;
}

void PrintStatements(const std::string& deviceName,
                     const std::function<std::vector<PrintStatement>()>& layOut,
                     FailureReporter& reporter, const ChannelOptions& options, SystemCalls& sys) {
  DeviceChannel channel(options, sys);
  std::string message;
  try {
    const std::vector<PrintStatement> ticket = layOut();
    channel.OpenForOutput(kStatementsChannel, deviceName);
    for (const PrintStatement& statement : ticket)
      channel.PrintItems(kStatementsChannel, statement);
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
