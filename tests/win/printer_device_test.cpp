// Installed printers ("printer:NAME") through the Win32 seam: one RAW job, and what the job
// does while the spooler prints it, stalls on it or refuses it.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "devices/win/printer_state.h"
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
constexpr DWORD kRetained = 0x2000;  // JOB_STATUS_RETAINED

// Nothing reached the spooler: no job was started.
void NoJob(const FakeSpooler& s) {
  EXPECT_EQ(s.dataType, L"");
  EXPECT_EQ(s.received, "");
  EXPECT_TRUE(s.jobCommands.empty());
}

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
    EXPECT_EQ(std::count(spooler.jobCommands.begin(), spooler.jobCommands.end(),
                         DWORD{JOB_CONTROL_DELETE}),
              0);
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
                     s.looks.push_back({.status = JOB_STATUS_PRINTING, .position = 1});
                     s.looks.push_back({.gone = true});
                   },
                   nullptr, nullptr},
        SpoolerRow{"AnOffLinePrinterTimesOutAndTheJobIsDeleted", "printer:Caixa",
                   [](FakeSpooler& s) { s.looks = {{.status = kStuck}}; },
                   "Tempo esgotado: o talão não avançou na fila de \"printer:Caixa\" durante "
                   "400 ms e foi apagado; a impressora está: com um erro, fora de linha",
                   [](const FakeSpooler& s) {
                     EXPECT_TRUE(s.ended);
                     EXPECT_EQ(s.jobCommands,
                               (std::vector<DWORD>{kJobControlRetain, JOB_CONTROL_DELETE}));
                   }},
        SpoolerRow{"TheTimeOutNamesThePrinterState", "printer:Caixa",
                   [](FakeSpooler& s) {
                     s.looks = {{.status = JOB_STATUS_SPOOLING}};
                     s.printerLooks = {{}, {.status = PRINTER_STATUS_PAPER_JAM}};
                   },
                   "Tempo esgotado: o talão não avançou na fila de \"printer:Caixa\" durante "
                   "400 ms e foi apagado; a impressora está: papel encravado",
                   nullptr},
        SpoolerRow{"APausedPrinterFailsBeforeTheJob", "printer:Caixa",
                   [](FakeSpooler& s) { s.printerLooks = {{.status = PRINTER_STATUS_PAUSED}}; },
                   "A impressora \"printer:Caixa\" não pode imprimir agora, diz o Windows: em "
                   "pausa; nada foi enviado",
                   NoJob},
        SpoolerRow{"EveryStopStateIsNamed", "printer:Caixa",
                   [](FakeSpooler& s) {
                     s.printerLooks = {{.status = PRINTER_STATUS_OFFLINE | PRINTER_STATUS_PAPER_OUT |
                                                  PRINTER_STATUS_BUSY}};
                   },
                   "A impressora \"printer:Caixa\" não pode imprimir agora, diz o Windows: sem "
                   "papel, fora de linha; nada foi enviado",
                   NoJob},
        SpoolerRow{"UsePrinterOfflineFailsBeforeTheJob", "printer:Caixa",
                   [](FakeSpooler& s) {
                     s.printerLooks = {{.attributes = PRINTER_ATTRIBUTE_WORK_OFFLINE}};
                   },
                   "A impressora \"printer:Caixa\" não pode imprimir agora, diz o Windows: "
                   "marcada \"Utilizar impressora offline\"; nada foi enviado",
                   NoJob},
        SpoolerRow{"ABusyPrinterStillPrints", "printer:Caixa",
                   [](FakeSpooler& s) {
                     s.printerLooks = {{.status = PRINTER_STATUS_BUSY | PRINTER_STATUS_WARMING_UP}};
                     s.looks = {{.status = JOB_STATUS_PRINTED}};
                   },
                   nullptr, nullptr},
        SpoolerRow{"APrinterWhoseStateIsUnknownStillPrints", "printer:Caixa",
                   [](FakeSpooler& s) {
                     s.says = false;
                     s.looks = {{.status = JOB_STATUS_PRINTED}};
                   },
                   nullptr, nullptr},
        SpoolerRow{"ARetainedJobIsReleasedOncePrinted", "printer:Caixa",
                   [](FakeSpooler& s) {
                     s.looks = {{.status = JOB_STATUS_PRINTING},
                                {.status = JOB_STATUS_PRINTED | kRetained}};
                   },
                   nullptr,
                   [](const FakeSpooler& s) {
                     EXPECT_EQ(s.jobCommands,
                               (std::vector<DWORD>{kJobControlRetain, kJobControlRelease}));
                   }},
        // Wine: the job leaves Windows' view at EndDocPrinter (to CUPS), never seen again.
        SpoolerRow{"AJobThatLeavesUnseenIsNotConfirmed", "printer:Recibos",
                   [](FakeSpooler& s) {
                     s.retains = false;
                     s.looks = {{.gone = true}};
                   },
                   "Entrega não confirmada: o talão saiu da fila de \"printer:Recibos\" sem que o "
                   "Windows dissesse que foi impresso",
                   [](const FakeSpooler& s) {
                     EXPECT_EQ(s.received, ExpectedTicket());
                     EXPECT_TRUE(s.ended);
                   }},
        SpoolerRow{"AJobThatWaitedAndLeftUnprintedIsNotConfirmed", "printer:Caixa",
                   [](FakeSpooler& s) {
                     s.looks = {{.status = JOB_STATUS_SPOOLING}, {.status = 0}, {.gone = true}};
                   },
                   "Entrega não confirmada", nullptr},
        SpoolerRow{"AJobPassedOnFromAPausedPrinterIsNotDelivered", "printer:Caixa",
                   [](FakeSpooler& s) {
                     s.looks = {{.status = JOB_STATUS_PRINTING}, {.gone = true}};
                     s.printerLooks = {{}, {.status = PRINTER_STATUS_PAUSED}};
                   },
                   "O talão saiu da fila de \"printer:Caixa\" sem sinal de que foi impresso, e a "
                   "impressora está agora: em pausa; pode sair mais tarde",
                   nullptr},
        SpoolerRow{"ADeletedJobIsNotDelivered", "printer:Caixa",
                   [](FakeSpooler& s) {
                     s.looks = {{.status = JOB_STATUS_PRINTING | JOB_STATUS_DELETING},
                                {.gone = true}};
                   },
                   "O talão não foi impresso em \"printer:Caixa\": trabalho apagado", nullptr},
        SpoolerRow{"ADriverThatBlocksTheJobFailsAtOnce", "printer:Caixa",
                   [](FakeSpooler& s) { s.looks = {{.status = JOB_STATUS_BLOCKED_DEVQ}}; },
                   "O talão não foi impresso em \"printer:Caixa\": o controlador não consegue "
                   "imprimir o trabalho",
                   [](const FakeSpooler& s) {
                     EXPECT_EQ(s.jobCommands.back(), DWORD{JOB_CONTROL_DELETE});
                   }},
        SpoolerRow{"ARejectingQueueSaysSo", "printer:Caixa",
                   [](FakeSpooler& s) { s.endError = ERROR_INVALID_HANDLE; },
                   "O Windows não aceitou o talão para \"printer:Caixa\" (a fila pode estar a "
                   "recusar trabalhos; erro 6 do Windows",
                   [](const FakeSpooler& s) { EXPECT_TRUE(s.aborted); }},
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
