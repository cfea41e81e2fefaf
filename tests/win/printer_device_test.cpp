// Installed printers ("printer:NAME") through the Win32 seam: one RAW job, and what the job
// does while the spooler prints it, stalls on it or refuses it.
#include <gtest/gtest.h>

#include <functional>

#include "fake_system_calls.h"
#include "temp_dir.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct SpoolerRow {
  const char* name;
  std::string device;
  std::function<void(FakeSpooler&)> setUp;
  const char* failure;  // the start of the message after "Falha na impressão:"; null: success
  std::function<void(const FakeSpooler&)> check;
};
void PrintTo(const SpoolerRow& row, std::ostream* out) { *out << row.name; }

constexpr auto kStall = 400ms;
constexpr DWORD kStuck = JOB_STATUS_OFFLINE | JOB_STATUS_ERROR;

class Spooler : public ::testing::TestWithParam<SpoolerRow> {};

TEST_P(Spooler, DeliversOneRawJobOrFails) {
  const SpoolerRow& row = GetParam();
  FakeSpooler spooler;
  if (row.setUp) row.setUp(spooler);
  const auto started = Clock::now();
  const std::optional<std::string> message = RunTicketJob(row.device, spooler, kStall);
  if (row.failure == nullptr) {
    EXPECT_FALSE(message) << *message;
    EXPECT_EQ(Hex(spooler.received), Hex(ExpectedTicket()));
    EXPECT_EQ(spooler.dataType, L"RAW");
    EXPECT_TRUE(spooler.ended);
    EXPECT_TRUE(spooler.jobCommands.empty());
  } else {
    ASSERT_TRUE(message);
    EXPECT_EQ(message->rfind(std::string("Falha na impressão:") + row.failure, 0), 0u) << *message;
  }
  if (!spooler.printerName.empty() && spooler.openError == 0) {
    EXPECT_TRUE(spooler.closed);
  }
  EXPECT_LT(Clock::now() - started, 10s);
  if (row.check) row.check(spooler);
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, Spooler,
    ::testing::Values(
        SpoolerRow{"DoneWhenTheJobLeavesTheQueue", "printer:EPSON TM-T20 Receipt",
                   [](FakeSpooler& s) {
                     s.looks = {{.status = JOB_STATUS_SPOOLING}, {.status = JOB_STATUS_PRINTING},
                                {.gone = true}};
                   },
                   nullptr,
                   [](const FakeSpooler& s) {
                     EXPECT_EQ(s.printerName, L"EPSON TM-T20 Receipt");
                     EXPECT_FALSE(s.aborted);
                   }},
        SpoolerRow{"DoneWhenTheSpoolerSaysPrinted", "PRINTER:Caixa 2",
                   [](FakeSpooler& s) { s.looks = {{.status = JOB_STATUS_PRINTED}}; }, nullptr,
                   [](const FakeSpooler& s) { EXPECT_EQ(s.printerName, L"Caixa 2"); }},
        SpoolerRow{"AQueueThatMovesIsNotCutOff", "printer:Caixa",
                   [](FakeSpooler& s) {
                     for (DWORD position = 12; position > 0; --position)  // 1.2 s of moving queue
                       s.looks.push_back({.position = position});
                     s.looks.push_back({.gone = true});
                   },
                   nullptr, nullptr},
        SpoolerRow{"AnOffLinePrinterTimesOutAndTheJobIsDeleted", "printer:Caixa",
                   [](FakeSpooler& s) { s.looks = {{.status = kStuck}}; }, "Tempo esgotado",
                   [](const FakeSpooler& s) {
                     EXPECT_TRUE(s.ended);
                     EXPECT_EQ(s.jobCommands, std::vector<DWORD>{JOB_CONTROL_DELETE});
                   }},
        SpoolerRow{"AnUnknownPrinterDoesNotExist", "printer:Nada",
                   [](FakeSpooler& s) { s.openError = ERROR_INVALID_PRINTER_NAME; },
                   "O dispositivo ou ficheiro \"printer:Nada\" não existe", nullptr},
        SpoolerRow{"NoRightsToThePrinter", "printer:Caixa",
                   [](FakeSpooler& s) { s.openError = ERROR_ACCESS_DENIED; },
                   "Sem permissão para escrever em \"printer:Caixa\"", nullptr},
        SpoolerRow{"ADriverThatRefusesRawSaysWhy", "printer:Caixa",
                   [](FakeSpooler& s) { s.startError = ERROR_INVALID_DATATYPE; },
                   "Não foi possível abrir \"printer:Caixa\" (erro 1804 do Windows", nullptr},
        SpoolerRow{"AFailedWriteAbortsTheJob", "printer:Caixa",
                   [](FakeSpooler& s) { s.writeError = ERROR_NOT_READY; },
                   "O dispositivo \"printer:Caixa\" não está disponível",
                   [](const FakeSpooler& s) {
                     EXPECT_TRUE(s.aborted);
                     EXPECT_FALSE(s.ended);
                   }},
        SpoolerRow{"NoNameIsTheDefaultPrinter", "printer:",
                   [](FakeSpooler& s) {
                     s.defaultPrinter = L"Recibos";
                     s.looks = {{.status = JOB_STATUS_PRINTED}};
                   },
                   nullptr, [](const FakeSpooler& s) { EXPECT_EQ(s.printerName, L"Recibos"); }},
        SpoolerRow{"TheDefaultPrinterIsNamedInMessages", "printer:",
                   [](FakeSpooler& s) {
                     s.defaultPrinter = L"Recibos";
                     s.writeError = ERROR_NOT_READY;
                   },
                   "O dispositivo \"printer:Recibos\" não está disponível", nullptr},
        SpoolerRow{"NoDefaultPrinterSaysSo", "printer:", nullptr,
                   "Não há uma impressora predefinida no Windows",
                   [](const FakeSpooler& s) { EXPECT_EQ(s.printerName, L""); }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket::testing
