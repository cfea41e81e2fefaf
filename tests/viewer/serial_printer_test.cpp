// The virtual serial printer on its pseudo-terminal: at its own speed it draws the ticket and
// answers status requests; at another speed it draws junk, answers nothing and says why.
#include <gtest/gtest.h>

#include "default_ticket.h"
#include "devices/device_channel.h"
#include "devices/device_failures.h"
#include "running_serial_printer.h"
#include "status/status_failures.h"
#include "status/status_query.h"
#include "ticket/ticket_job.h"

namespace qrticket::viewer {
namespace {

using namespace std::chrono_literals;
using testing::RunningSerialPrinter;

class Reporter final : public FailureReporter {
 public:
  void ShowFailure(const std::string& message) override { failures.push_back(message); }
  std::vector<std::string> failures;
};

void PrintTicket(const std::string& device) {
  Reporter reporter;
  PrintQrTest(qrticket::testing::DefaultTicketTo(device), reporter);
  ASSERT_TRUE(reporter.failures.empty()) << reporter.failures.front();
}

bool Has(const std::vector<std::string>& lines, const std::string& text) {
  for (const auto& line : lines)
    if (line.find(text) != std::string::npos) return true;
  return false;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string all;
  for (const auto& line : lines) all += line + "\n";
  return all;
}

struct SpeedRow {
  const char* name;
  std::string settingsAfterTheName;  // "" for the line as it is
  bool matches;
};
void PrintTo(const SpeedRow& row, std::ostream* out) { *out << row.name; }

class SerialPrinterSpeed : public ::testing::TestWithParam<SpeedRow> {};

TEST_P(SerialPrinterSpeed, DrawsAndAnswersOnlyAtItsOwnSpeed) {
  const SpeedRow& row = GetParam();
  RunningSerialPrinter printer({.speed = 19200});
  const std::string device = printer.path() + row.settingsAfterTheName;

  StatusOptions quick;
  quick.perRequest = 300ms;
  if (row.matches) {
    EXPECT_TRUE(QueryPrinterStatus(device, quick).ready());
  } else {
    try {
      QueryPrinterStatus(device, quick);
      ADD_FAILURE() << "answered at another speed";
    } catch (const PrintFailure& failure) {
      EXPECT_EQ(failure.description(), failures::NoAnswer(device, 300ms).description());
    }
  }
  auto jobs = printer.WaitForJobs(1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].statusOnly, row.matches) << Joined(jobs[0].report);

  PrintTicket(device);
  jobs = printer.WaitForJobs(2);
  ASSERT_EQ(jobs.size(), 2u);
  const ListenJob& ticket = jobs[1];
  EXPECT_EQ(ticket.number, row.matches ? 1 : 2);
  EXPECT_EQ(Has(ticket.report, "QR (GS ( k)"), row.matches) << Joined(ticket.report);
  EXPECT_EQ(Has(ticket.report, "as velocidades não coincidem"), !row.matches)
      << Joined(ticket.report);
  if (!row.matches) {
    EXPECT_TRUE(Has(ticket.report, "com a linha a 9600 bit/s e a impressora está a 19200 bit/s"))
        << Joined(ticket.report);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Line, SerialPrinterSpeed,
    ::testing::Values(SpeedRow{"SettingsOfItsOwn", ":19200,n,8,1", true},
                      SpeedRow{"LineLeftAsTheViewerSetIt", "", true},
                      SpeedRow{"WithinTwoPercent", ":19000", true},
                      SpeedRow{"OtherSpeed", ":9600", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SerialPrinter, JunkKeepsNoCommandAndItsLines) {
  const std::string junk = Junk("\x1B@\x1D(k\nabc\n");
  ASSERT_EQ(junk.size(), 10u);  // ESC @ GS ( k LF a b c LF
  EXPECT_EQ(junk[5], '\n');
  EXPECT_EQ(junk[9], '\n');
  for (const char c : junk)
    EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0xA0) << static_cast<int>(c);
}

}  // namespace
}  // namespace qrticket::viewer
