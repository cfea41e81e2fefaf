#include "ticket_bytes.h"

#include <gtest/gtest.h>

#include "recording_reporter.h"
#include "ticket/ticket_job.h"

namespace qrticket::testing {

Bytes TicketBytes(const QrPrintSettings& settings) {
  RecordingReporter reporter;
  LaidOutTicket ticket = QrTestBytes(settings, reporter);
  EXPECT_TRUE(reporter.messages.empty()) << reporter.messages.front();
  return std::move(ticket.bytes);
}

}  // namespace qrticket::testing
