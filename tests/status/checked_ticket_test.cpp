// --check-status in the core: a printer that is not ready gets nothing, a printer that runs out
// during the ticket is reported, and the ticket itself goes out byte for byte as without the
// check. Without the check a network printer receives exactly the ticket.
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "default_ticket.h"
#include "devices/device_failures.h"
#include "fake_printer.h"
#include "recording_reporter.h"
#include "status/checked_ticket_job.h"
#include "temp_dir.h"
#include "ticket/module_size.h"
#include "ticket/ticket.h"

namespace qrticket {
namespace {

using namespace std::chrono_literals;
using testing::DefaultTicketTo;
using testing::FakeAnswers;
using testing::FakeTcpPrinter;
using testing::Hex;
using testing::PrinterReporting;
using testing::ReadyPrinter;
using testing::RecordingReporter;

const std::string kStatusRequests = "\x10\x04\x01\x10\x04\x02\x10\x04\x03\x10\x04\x04";

// Today's ticket, built statement by statement from the core's own description of it.
Bytes ExpectedTicket(const QrPrintSettings& settings) {
  Bytes out;
  for (const auto& statement :
       TicketStatements(settings, ConvertModuleSize(settings.moduleSizeText)))
    AppendStatement(statement, out);
  return out;
}

// The device name differs per run; the messages name it through this marker.
std::string Named(const std::string& message, const std::string& device) {
  std::string out = message;
  if (const auto at = out.find("{device}"); at != std::string::npos) out.replace(at, 8, device);
  return out;
}

TEST(CheckAroundTicket, RefusesAPaperOutPrinterAndPrintsNothing) {
  FakeTcpPrinter printer(PrinterReporting(0x1A, 0x32, 0x12, 0x72));
  RecordingReporter reporter;
  PrintQrTestWithStatusCheck(DefaultTicketTo(printer.DeviceName()), reporter);
  ASSERT_TRUE(printer.WaitConnections(1, 5s));
  std::this_thread::sleep_for(300ms);
  ASSERT_EQ(printer.Connections().size(), 1u) << "no ticket connection";
  EXPECT_EQ(Hex(printer.Connections()[0]), Hex(kStatusRequests));
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(reporter.messages[0],
            Named("Falha na impressão:A impressora \"{device}\" não está pronta (fora de linha, "
                  "sem papel); nada foi impresso",
                  printer.DeviceName()));
}

TEST(CheckAroundTicket, ReportsAPrinterThatRunsOutDuringTheTicket) {
  FakeTcpPrinter printer(ReadyPrinter(), PrinterReporting(0x1A, 0x32, 0x12, 0x72));
  const QrPrintSettings settings = DefaultTicketTo(printer.DeviceName());
  RecordingReporter reporter;
  PrintQrTestWithStatusCheck(settings, reporter);
  ASSERT_TRUE(printer.WaitConnections(3, 5s));
  const auto connections = printer.Connections();
  EXPECT_EQ(Hex(connections[1]), Hex(ExpectedTicket(settings)));
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(reporter.messages[0],
            Named("Falha na impressão:O talão foi enviado para \"{device}\", mas a impressora "
                  "indica agora: fora de linha, sem papel; o talão pode estar incompleto",
                  printer.DeviceName()));
}

TEST(CheckAroundTicket, ReadyAllAlongPrintsTheSameTicket) {
  FakeTcpPrinter printer(ReadyPrinter());
  const QrPrintSettings settings = DefaultTicketTo(printer.DeviceName());
  RecordingReporter reporter;
  const auto warnings = PrintQrTestWithStatusCheck(settings, reporter);
  ASSERT_TRUE(printer.WaitConnections(3, 5s));
  const auto connections = printer.Connections();
  EXPECT_TRUE(reporter.messages.empty());
  EXPECT_TRUE(warnings.empty());
  EXPECT_EQ(Hex(connections[0]), Hex(kStatusRequests));
  EXPECT_EQ(Hex(connections[1]), Hex(ExpectedTicket(settings)));
  EXPECT_EQ(Hex(connections[2]), Hex(kStatusRequests));
}

TEST(CheckAroundTicket, PaperNearEndAfterwardsIsAWarningOnly) {
  FakeTcpPrinter printer(ReadyPrinter(), PrinterReporting(0x12, 0x12, 0x12, 0x1E));
  RecordingReporter reporter;
  const auto warnings = PrintQrTestWithStatusCheck(DefaultTicketTo(printer.DeviceName()), reporter);
  EXPECT_TRUE(reporter.messages.empty());
  EXPECT_EQ(warnings, std::vector<std::string>{"papel a acabar"});
}

TEST(CheckAroundTicket, NoAnswerBeforeMeansNothingPrinted) {
  FakeTcpPrinter printer(FakeAnswers{});
  RecordingReporter reporter;
  PrintQrTestWithStatusCheck(DefaultTicketTo(printer.DeviceName()), reporter);
  ASSERT_TRUE(printer.WaitConnections(1, 5s));
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(printer.Connections().size(), 1u);
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(reporter.messages[0].rfind("Falha na impressão:a impressora não respondeu", 0), 0u);
  EXPECT_NE(reporter.messages[0].find("; nada foi impresso"), std::string::npos);
}

// A printer that answers DLE EOT 1 and then says nothing more (or hangs up) has left its
// paper and cover unknown: it is not known to be ready, so nothing is printed, as --status
// says "não se sabe se está pronta".
struct UnknownStateCase {
  const char* name;
  FakeAnswers answers;
  std::string unknown;
};

class CheckAroundTicketUnknown : public ::testing::TestWithParam<UnknownStateCase> {};

TEST_P(CheckAroundTicketUnknown, PrintsNothing) {
  FakeTcpPrinter printer(GetParam().answers);
  RecordingReporter reporter;
  PrintQrTestWithStatusCheck(DefaultTicketTo(printer.DeviceName()), reporter);
  ASSERT_TRUE(printer.WaitConnections(1, 5s));
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(printer.Connections().size(), 1u) << "a ticket went out";
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(reporter.messages[0],
            Named("Falha na impressão:Não se sabe se a impressora \"{device}\" está pronta "
                  "(sem resposta sobre " + GetParam().unknown + "); nada foi impresso",
                  printer.DeviceName()));
}

FakeAnswers WithoutDleEot(FakeAnswers a, int n) {
  a.dleEot.erase(n);
  return a;
}
FakeAnswers HangingUpAt(FakeAnswers a, int n) {
  a.hangUpAtDleEot = n;
  return a;
}

const std::string kAfterDleEot1 =
    "tampa, fim do papel e erro (DLE EOT 2), tipo de erro (DLE EOT 3), sensor do papel "
    "(DLE EOT 4)";

INSTANTIATE_TEST_SUITE_P(
    Printers, CheckAroundTicketUnknown,
    ::testing::Values(
        UnknownStateCase{"OfflineCauseUnanswered", WithoutDleEot(ReadyPrinter(), 2), kAfterDleEot1},
        UnknownStateCase{"HangsUpAtOfflineCause", HangingUpAt(ReadyPrinter(), 2), kAfterDleEot1},
        UnknownStateCase{"PaperSensorUnanswered", WithoutDleEot(ReadyPrinter(), 4),
                         "sensor do papel (DLE EOT 4)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CheckAroundTicket, NoAnswerAfterSaysTheTicketWasSent) {
  FakeTcpPrinter printer(ReadyPrinter(), FakeAnswers{});
  RecordingReporter reporter;
  PrintQrTestWithStatusCheck(DefaultTicketTo(printer.DeviceName()), reporter);
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(reporter.messages[0].rfind("Falha na impressão:O talão foi enviado para", 0), 0u)
      << reporter.messages[0];
  EXPECT_NE(reporter.messages[0].find("a impressora não respondeu"), std::string::npos);
}

TEST(CheckAroundTicket, AFileCannotBeCheckedAndIsNotCreated) {
  testing::TempDir dir;
  const std::string file = dir.File("ticket.bin");
  RecordingReporter reporter;
  PrintQrTestWithStatusCheck(DefaultTicketTo(file), reporter);
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(reporter.messages[0],
            "Falha na impressão:sem canal de retorno: \"" + file +
                "\" é um ficheiro; só impressoras em tcp://, em portas série e USB dizem o seu "
                "estado; nada foi impresso");
  EXPECT_FALSE(std::filesystem::exists(file));
}

// A QR block replaced by the builder's failure text is printed and checked as usual, and the
// caller learns that the ticket carries no symbol (the command line exits 3).
TEST(CheckAroundTicket, ATicketWithoutItsSymbolIsToldToTheCaller) {
  FakeTcpPrinter printer(ReadyPrinter());
  QrPrintSettings settings = DefaultTicketTo(printer.DeviceName());
  settings.moduleSizeText = "300";
  RecordingReporter reporter;
  JobResult job;
  PrintQrTestWithStatusCheck(settings, reporter, {}, {}, SystemCalls::Real(), &job);
  ASSERT_TRUE(printer.WaitConnections(3, 5s));
  EXPECT_TRUE(reporter.messages.empty());
  EXPECT_EQ(job.status, JobResult::Status::DeliveredWithoutSymbol);
  EXPECT_EQ(Hex(printer.Connections()[1]), Hex(ExpectedTicket(settings)));
}

// The status requests watch the job's cancel descriptor: Ctrl+C during a wait for an answer
// ends it at once, as interrupted, with nothing printed.
TEST(CheckAroundTicket, TheCancelDescriptorEndsAWaitForAnAnswer) {
  FakeTcpPrinter printer(FakeAnswers{});
  int cancel[2];
  ASSERT_EQ(::pipe(cancel), 0);
  ChannelOptions channel;
  channel.cancelFd = cancel[0];
  StatusOptions status;
  status.perRequest = 30s;
  status.whole = 60s;
  std::thread canceller([&cancel] {
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(::write(cancel[1], "x", 1), 1);
  });
  RecordingReporter reporter;
  JobResult job;
  const auto start = std::chrono::steady_clock::now();
  PrintQrTestWithStatusCheck(DefaultTicketTo(printer.DeviceName()), reporter, channel, status,
                             SystemCalls::Real(), &job);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  canceller.join();
  ::close(cancel[0]);
  ::close(cancel[1]);
  EXPECT_LT(elapsed, 10s);
  EXPECT_EQ(job.status, JobResult::Status::Failed);
  EXPECT_EQ(job.failure, FailureCode::Interrupted);
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(reporter.messages[0].rfind(kFailurePrefix + failures::Interrupted().description(), 0),
            0u)
      << reporter.messages[0];
}

TEST(PlainTicket, ANetworkPrinterGetsExactlyTheTicket) {
  FakeTcpPrinter printer(ReadyPrinter());
  const QrPrintSettings settings = DefaultTicketTo(printer.DeviceName());
  RecordingReporter reporter;
  PrintQrTest(settings, reporter);
  ASSERT_TRUE(printer.WaitConnections(1, 5s));
  std::this_thread::sleep_for(200ms);
  EXPECT_TRUE(reporter.messages.empty());
  ASSERT_EQ(printer.Connections().size(), 1u);
  EXPECT_EQ(Hex(printer.Connections()[0]), Hex(ExpectedTicket(settings)));
  EXPECT_EQ(printer.Connections()[0].find("\x10\x04"), std::string::npos);
  EXPECT_EQ(printer.Connections()[0].find("\x1D" "I"), std::string::npos);
}

}  // namespace
}  // namespace qrticket
