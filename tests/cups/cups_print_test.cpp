// Tickets through a real CUPS scheduler: the bytes arrive unchanged, by the queue's name and as
// the default destination.
#include <gtest/gtest.h>

#include "cups_environment.h"
#include "job_runner.h"
#include "loopback_printer.h"
#include "ticket/ticket_defaults.h"
#include "ticket/ticket_job.h"
#include "ticket_bytes.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;

const ChannelOptions kOptions{.stallTimeout = 10000ms, .connectTimeout = 5000ms};

std::string SocketUri(const LoopbackPrinter& printer) {
  return "socket://127.0.0.1:" + std::to_string(printer.port());
}

struct DeliveryRow {
  const char* name;
  Bytes dataText;
  bool asDefaultDestination;
};

void PrintTo(const DeliveryRow& row, std::ostream* out) { *out << row.name; }

class CupsDelivery : public CupsTest, public ::testing::WithParamInterface<DeliveryRow> {};

// Raw means raw: line feeds inside the data, bytes above 0x7F and the longest text reach the
// printer exactly as the job made them, and the job succeeds only once CUPS says completed
// (so the printer has everything by then).
TEST_P(CupsDelivery, TicketArrivesUnchanged) {
  const DeliveryRow& row = GetParam();
  LoopbackPrinter printer;
  ASSERT_TRUE(printer.ok());
  cupsd_->AddRawQueue("Balcao", SocketUri(printer));
  std::string device = "cups:Balcao";
  if (row.asDefaultDestination) {
    ASSERT_EQ(cupsd_->Command("lpadmin", {"-d", "Balcao"}).exitCode, 0);
    device = "cups:";
  }
  const QrPrintSettings settings = TicketTo(device, row.dataText);

  const JobOutcome outcome = RunJob(settings, kOptions);
  EXPECT_FALSE(outcome.message) << *outcome.message << "\n" << cupsd_->Log();
  ASSERT_TRUE(printer.WaitFinished(1000ms)) << "CUPS said completed before the printer had it all";
  EXPECT_EQ(Hex(printer.received()), Hex(TicketBytes(settings)));
  EXPECT_EQ(cupsd_->PendingJobs("Balcao"), "");
}

INSTANTIATE_TEST_SUITE_P(Rows, CupsDelivery,
                         ::testing::Values(DeliveryRow{"DefaultTicket", kSampleDataText, false},
                                           DeliveryRow{"LineFeedsAndHighBytes",
                                                       "a\nb\r\nc\x80\xE1\xFF", false},
                                           DeliveryRow{"LongestText", LongestDataText(), false},
                                           DeliveryRow{"DefaultDestination", "por omissão", true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket::testing
