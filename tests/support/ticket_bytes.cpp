#include "ticket_bytes.h"

#include <gtest/gtest.h>

#include "recording_reporter.h"
#include "temp_dir.h"
#include "ticket/ticket_job.h"

namespace qrticket::testing {

Bytes TicketBytes(QrPrintSettings settings) {
  TempDir dir;
  settings.deviceName = dir.File("ticket.bin");
  RecordingReporter reporter;
  PrintQrTest(settings, reporter);
  EXPECT_TRUE(reporter.messages.empty()) << reporter.messages.front();
  return ReadFileBytes(settings.deviceName);
}

}  // namespace qrticket::testing
