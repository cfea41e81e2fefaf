// The failure descriptions are Portuguese to the last word: the system's own error texts are
// English, so they never reach a message; an error we have no words for shows its number.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "devices/device_failures.h"
#include "devices/posix/cups_failures.h"
#include "ticket/ticket_failures.h"

namespace qrticket {
namespace {

using failures::Stage;

struct ErrnoRow {
  const char* name;
  int error;
  Stage stage;
  std::string description;
};
void PrintTo(const ErrnoRow& row, std::ostream* os) { *os << row.name; }

class SystemErrors : public ::testing::TestWithParam<ErrnoRow> {};

TEST_P(SystemErrors, AreWordedInPortuguese) {
  EXPECT_EQ(failures::FromErrno(GetParam().error, "dev", GetParam().stage).description(),
            GetParam().description);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, SystemErrors,
    ::testing::Values(
        ErrnoRow{"symlink_loop_at_open", ELOOP, Stage::Open,
                 "Não foi possível abrir \"dev\" (demasiados níveis de ligações simbólicas)"},
        ErrnoRow{"network_unreachable_at_open", ENETUNREACH, Stage::Open,
                 "Não foi possível abrir \"dev\" (rede inacessível)"},
        ErrnoRow{"host_unreachable_at_open", EHOSTUNREACH, Stage::Open,
                 "Não foi possível abrir \"dev\" (sem caminho para a máquina)"},
        ErrnoRow{"too_many_open_files", EMFILE, Stage::Open,
                 "Não foi possível abrir \"dev\" (demasiados ficheiros abertos)"},
        ErrnoRow{"no_medium_while_writing", ENOMEDIUM, Stage::Write,
                 "Erro de entrada/saída no dispositivo \"dev\" (sem suporte no dispositivo)"},
        ErrnoRow{"disk_full_while_writing", ENOSPC, Stage::Write,
                 "Disco cheio ao escrever em \"dev\""},
        ErrnoRow{"file_too_large", EFBIG, Stage::Write, "Disco cheio ao escrever em \"dev\""},
        ErrnoRow{"quota_reads_as_a_full_disk", EDQUOT, Stage::Close,
                 "Disco cheio ao escrever em \"dev\""},
        ErrnoRow{"invalid_argument_while_writing", EINVAL, Stage::Write,
                 "Erro de entrada/saída no dispositivo \"dev\" (argumento inválido)"},
        ErrnoRow{"an_error_we_have_no_words_for", 4095, Stage::Open,
                 "Não foi possível abrir \"dev\" (erro 4095)"},
        ErrnoRow{"the_same_while_closing", 4095, Stage::Close,
                 "Erro de entrada/saída no dispositivo \"dev\" (erro 4095)"}),
    [](const auto& info) { return std::string(info.param.name); });

// Whatever the error, no description carries the C library's English text for it.
TEST(SystemErrors, NeverCarryTheSystemsEnglishText) {
  for (int error = 1; error < 134; ++error) {
    const std::string english = std::strerror(error);
    for (const Stage stage : {Stage::Open, Stage::Write, Stage::Close}) {
      const std::string description = failures::FromErrno(error, "dev", stage).description();
      EXPECT_EQ(description.find(english), std::string::npos) << error << ": " << description;
    }
    EXPECT_EQ(failures::SystemErrorText(error).find(english), std::string::npos) << error;
  }
}

// Settings after a port that is not serial, and on a device that turns out not to be one: one
// sentence, the device quoted where it is the failure's subject.
TEST(SerialSettings, ForAPortThatIsNotSerialSayOneSentence) {
  const std::string sentence = " não é uma porta série: as definições só se aplicam a portas série";
  EXPECT_EQ(failures::SettingsNeedSerialPort("LPT1:"), "LPT1:" + sentence);
  const PrintFailure failure = failures::NotASerialLine("/tmp/t.bin");
  EXPECT_EQ(failure.description(), "\"/tmp/t.bin\"" + sentence);
  EXPECT_EQ(failure.code(), FailureCode::BadFileName);
}

// The descriptions a builder can print on a ticket in place of the symbol.
TEST(BuilderFailures, HaveNoEnglishWord) {
  for (const PrintFailure& failure : {failures::DataTooLong(), failures::ModuleSizeOverflow(),
                                      failures::IndexOverflow(), failures::ByteOutOfRange(256),
                                      failures::OutOfMemory()})
    EXPECT_EQ(failure.description().find("Overflow"), std::string::npos) << failure.description();
}

}  // namespace
}  // namespace qrticket

namespace qrticket {
namespace {

// CUPS quotes the printer's own words (printer-state-message): its control characters are
// shown as bytes, so a printer cannot drive the terminal through a failure message.
TEST(CupsFailures, QuoteThePrintersWordsWithoutTheirControls) {
  EXPECT_EQ(failures::CupsJobAborted("Caixa", 7, "Erro\x1B[2J\xC2\x9B" "31m").description(),
            "O trabalho 7 foi abortado pela fila CUPS \"Caixa\" (CUPS: \"Erro[0x1B][2J[0x9B]31m\")");
}

}  // namespace
}  // namespace qrticket
