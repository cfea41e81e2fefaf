// The print mode's exit codes and what it says on stderr, with the job printing to real files.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <sstream>

#include "cli_options.h"
#include "devices/device_failures.h"
#include "print_command.h"
#include "temp_dir.h"
#include "ticket/ticket_failures.h"
#include "ticket/ticket_job.h"

namespace qrticket::cli {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

struct OutcomeRow {
  const char* name;
  std::vector<std::string> args;  // --device is added
  int exitCode;
  std::string err;                // exactly
  bool printed;
};
void PrintTo(const OutcomeRow& row, std::ostream* os) { *os << row.name; }

class PrintOutcome : public ::testing::TestWithParam<OutcomeRow> {};

TEST_P(PrintOutcome, GivesItsExitCodeAndMessage) {
  TempDir dir;
  std::vector<std::string> args = {"--device", dir.File("ticket.bin")};
  args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
  const ParseResult parsed = ParseCommandLine(args);
  ASSERT_TRUE(parsed.options) << parsed.err;
  std::ostringstream err;
  EXPECT_EQ(RunPrintTicket(*parsed.options, err), GetParam().exitCode);
  EXPECT_EQ(err.str(), GetParam().err);
  EXPECT_EQ(!ReadFileBytes(dir.File("ticket.bin")).empty(), GetParam().printed);
}

const std::string kWithoutSymbol =
    "qrticket: aviso: o talão foi impresso sem o símbolo QR; no lugar dele saiu: ";

const std::string kNoSymbol = "qrticket: aviso: o talão foi impresso sem o símbolo QR; ";

INSTANTIATE_TEST_SUITE_P(
    Outcomes, PrintOutcome,
    ::testing::Values(
        OutcomeRow{"delivered", {}, kExitOk, "", true},
        OutcomeRow{"size_beyond_a_byte",
                   {"--size", "300"},
                   kExitPrintedWithoutSymbol,
                   kWithoutSymbol + "Argumento inválido: 300 não é um byte (0 a 255)\n",
                   true},
        OutcomeRow{"negative_size", {"--size", "-1"}, kExitPrintedWithoutSymbol,
                   kWithoutSymbol + "Argumento inválido: -1 não é um byte (0 a 255)\n", true},
        OutcomeRow{"level_beyond_a_byte",
                   {"--error-level", "300"},
                   kExitPrintedWithoutSymbol,
                   kWithoutSymbol + "Argumento inválido: 348 não é um byte (0 a 255)\n",
                   true},
        // The printer draws no symbol for these, and the tool knows why.
        OutcomeRow{"empty_text", {"--text="}, kExitPrintedWithoutSymbol,
                   kNoSymbol + "sem dados: a impressora não imprime nenhum símbolo\n", true},
        OutcomeRow{"micro_qr_at_level_h",
                   {"--model", "2", "--error-level", "3"},
                   kExitPrintedWithoutSymbol,
                   kNoSymbol + "o Micro QR não tem nível H: nenhum símbolo\n",
                   true},
        OutcomeRow{"more_than_micro_qr_holds",
                   {"--model", "2", "--error-level", "0", "--text", std::string(16, 'x')},
                   kExitPrintedWithoutSymbol,
                   kNoSymbol + "16 bytes: não cabe num código QR (o Micro QR de nível L leva "
                               "até 15 bytes)\n",
                   true},
        OutcomeRow{"most_micro_qr_holds",
                   {"--model", "2", "--error-level", "0", "--text", std::string(15, 'x')},
                   kExitOk, "", true},
        // Settings the printer ignores: printed as given, the warning names what it uses.
        OutcomeRow{"size_the_printer_ignores",
                   {"--size", "17"},
                   kExitOk,
                   "qrticket: aviso: tamanho do módulo 17 fora de 1 a 16: a impressora ignora "
                   "o comando e fica com 3 pontos, o de depois de ESC @\n",
                   true},
        OutcomeRow{"model_and_level_the_printer_ignores",
                   {"--model", "5", "--error-level", "9"},
                   kExitOk,
                   "qrticket: aviso: modelo 0x36 fora de 0x31 a 0x33: a impressora ignora o "
                   "comando e fica com o Modelo 2, o de depois de ESC @\n"
                   "qrticket: aviso: nível 0x39 fora de 0x30 a 0x33: a impressora ignora o "
                   "comando e fica com o nível L, o de depois de ESC @\n",
                   true},
        // The woosim command reads no size: its block builds.
        OutcomeRow{"woosim_ignores_the_size", {"--size", "300", "--woosim"}, kExitOk, "", true},
        OutcomeRow{"size_beyond_16_bits", {"--size", "99999999999"}, kExitPrintFailed,
                   kFailurePrefix + failures::ModuleSizeOverflow().description() + "\n", false},
        OutcomeRow{"text_too_long", {"--text", std::string(32765, 'x')}, kExitPrintFailed,
                   kFailurePrefix + failures::DataTooLong().description() + "\n", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PrintOutcome, AJobStoppedBySignalExitsWithItsNumber) {
  TempDir dir;
  // A FIFO nobody reads from stands for a device that stalls; the cancel pipe is already
  // readable, so the job stops at its first wait.
  const std::string fifo = dir.File("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  int cancel[2];
  ASSERT_EQ(::pipe(cancel), 0);
  ASSERT_EQ(::write(cancel[1], "x", 1), 1);
  ParseResult parsed = ParseCommandLine({"--device", fifo, "--timeout", "30"}, cancel[0]);
  ASSERT_TRUE(parsed.options);
  std::ostringstream err;
  EXPECT_EQ(RunPrintTicket(*parsed.options, err, [] { return 15; }), kExitSignalBase + 15);
  EXPECT_EQ(err.str(), kFailurePrefix + failures::Interrupted().description() + "\n");
  ::close(reader);
  ::close(cancel[0]);
  ::close(cancel[1]);
}

}  // namespace
}  // namespace qrticket::cli
