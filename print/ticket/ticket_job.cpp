// The QR test ticket job: checks the text and the module size, lays the ticket out, writes it
// to the device or into memory, and reports a failure once.
#include "ticket/ticket_job.h"

#include <new>
#include <utility>
#include <vector>

#include "devices/device_channel.h"
#include "devices/device_failures.h"
#include "ticket/module_size.h"
#include "ticket/qr_commands.h"
#include "ticket/ticket.h"
#include "ticket/ticket_failures.h"

namespace qrticket {
namespace {

constexpr int kTicketChannel = 1;

// Shows the failure once, even when memory runs out while the message is being put together.
JobResult Report(FailureReporter& reporter, const PrintFailure* failure) {
  JobResult result;
  result.status = JobResult::Status::Failed;
  result.failure = failure != nullptr ? failure->code() : FailureCode::OutOfMemory;
  try {
    reporter.ShowFailure(kFailurePrefix + (failure != nullptr
                                               ? failure->description()
                                               : failures::OutOfMemory().description()));
  } catch (const std::bad_alloc&) {
    try {
      reporter.ShowFailure(std::string(kFailurePrefix) + failures::OutOfMemoryText());
    } catch (const std::bad_alloc&) {
    }
  }
  return result;
}

// The job around its delivery: the checks that need no device, the layout, and one report of
// a failure. `deliver` takes the statements and may throw PrintFailure; `release` lets go of
// whatever it holds before the operator is told, so a box left open does not hold the port.
template <typename Deliver, typename Release>
JobResult RunTicketJob(const QrPrintSettings& settings, FailureReporter& reporter,
                       Deliver&& deliver, Release&& release) {
  try {
    // Both checked before the delivery, so a text or a size that cannot be sent leaves the
    // device untouched: no file emptied, no connection made.
    if (settings.dataText.size() > static_cast<std::size_t>(kMaxDataLength))
      throw failures::DataTooLong();
    const std::int16_t moduleSize = ConvertModuleSize(settings.moduleSizeText);
    TicketLayout ticket = LayOutTicket(settings, moduleSize);
    deliver(std::as_const(ticket.statements));
    JobResult result;
    if (ticket.qrBlockFailure) {
      result.status = JobResult::Status::DeliveredWithoutSymbol;
      result.qrBlockFailure = std::move(ticket.qrBlockFailure);
    }
    return result;
  } catch (const PrintFailure& failure) {
    release();
    return Report(reporter, &failure);
  } catch (const std::bad_alloc&) {
    release();
    return Report(reporter, nullptr);
  }
}

}  // namespace

JobResult PrintQrTest(const QrPrintSettings& settings, FailureReporter& reporter,
                      const ChannelOptions& options, SystemCalls& sys) {
  DeviceChannel channel(options, sys);
  return RunTicketJob(
      settings, reporter,
      [&](const std::vector<PrintStatement>& statements) {
        channel.OpenForOutput(kTicketChannel, settings.deviceName);
        for (const PrintStatement& statement : statements)
          channel.PrintItems(kTicketChannel, statement);
        channel.CloseAll();
      },
      [&]() noexcept { channel.ReleaseAll(); });
}

LaidOutTicket QrTestBytes(const QrPrintSettings& settings, FailureReporter& reporter) {
  LaidOutTicket ticket;
  ticket.result = RunTicketJob(
      settings, reporter,
      [&](const std::vector<PrintStatement>& statements) {
        for (const PrintStatement& statement : statements) AppendStatement(statement, ticket.bytes);
      },
      [&]() noexcept { Bytes().swap(ticket.bytes); });
  return ticket;
}

}  // namespace qrticket
