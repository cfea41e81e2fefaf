// Windows errors read as the same Portuguese failures as on Linux.
#include <gtest/gtest.h>

#include "devices/win/win_errors.h"

namespace qrticket {
namespace {

using failures::Stage;

struct ErrorRow {
  const char* name;
  DWORD error;
  Stage stage;
  bool heldPort;
  FailureCode code;
  std::string description;
};
void PrintTo(const ErrorRow& row, std::ostream* out) { *out << row.name; }

class WindowsErrors : public ::testing::TestWithParam<ErrorRow> {};

TEST_P(WindowsErrors, ReadAsTheCatalogueSaysThem) {
  const ErrorRow& row = GetParam();
  const PrintFailure failure = FromWindowsError(row.error, "X", row.stage, row.heldPort);
  EXPECT_EQ(failure.code(), row.code);
  EXPECT_EQ(failure.description().rfind(row.description, 0), 0u) << failure.description();
}

INSTANTIATE_TEST_SUITE_P(
    Table, WindowsErrors,
    ::testing::Values(
        ErrorRow{"FileNotFound", ERROR_FILE_NOT_FOUND, Stage::Open, false, FailureCode::NotFound,
                 "O dispositivo ou ficheiro \"X\" não existe"},
        ErrorRow{"PathNotFound", ERROR_PATH_NOT_FOUND, Stage::Open, false, FailureCode::NotFound,
                 "O dispositivo ou ficheiro \"X\" não existe"},
        ErrorRow{"NoSuchPrinter", ERROR_INVALID_PRINTER_NAME, Stage::Open, false,
                 FailureCode::NotFound, "O dispositivo ou ficheiro \"X\" não existe"},
        ErrorRow{"SharingViolation", ERROR_SHARING_VIOLATION, Stage::Open, false,
                 FailureCode::DeviceBusy, "O dispositivo \"X\" está ocupado por outro programa"},
        ErrorRow{"AccessDeniedOnAFile", ERROR_ACCESS_DENIED, Stage::Open, false,
                 FailureCode::AccessRefused, "Sem permissão para escrever em \"X\""},
        ErrorRow{"AccessDeniedOnAPortIsBusy", ERROR_ACCESS_DENIED, Stage::Open, true,
                 FailureCode::DeviceBusy, "O dispositivo \"X\" está ocupado por outro programa"},
        ErrorRow{"WriteProtected", ERROR_WRITE_PROTECT, Stage::Open, false,
                 FailureCode::AccessRefused, "\"X\" está num disco só de leitura"},
        ErrorRow{"NotReady", ERROR_NOT_READY, Stage::Open, false, FailureCode::DeviceUnavailable,
                 "O dispositivo \"X\" não está disponível"},
        ErrorRow{"InvalidName", ERROR_INVALID_NAME, Stage::Open, false, FailureCode::BadFileName,
                 "Nome de dispositivo inválido: \"X\""},
        ErrorRow{"DiskFull", ERROR_DISK_FULL, Stage::Write, false, FailureCode::DiskFull,
                 "Disco cheio ao escrever em \"X\""},
        ErrorRow{"PipeReaderGone", ERROR_BROKEN_PIPE, Stage::Write, false,
                 FailureCode::ConnectionLost, "A ligação a \"X\" foi interrompida"},
        ErrorRow{"ConnectionReset", WSAECONNRESET, Stage::Close, false,
                 FailureCode::ConnectionLost, "A ligação a \"X\" foi interrompida"},
        ErrorRow{"RetransmissionGaveUp", WSAETIMEDOUT, Stage::Write, false,
                 FailureCode::ConnectionLost, "A ligação a \"X\" foi interrompida"},
        ErrorRow{"PrinterStoppedAnswering", ERROR_GEN_FAILURE, Stage::Write, false,
                 FailureCode::DeviceIo, "Erro de entrada/saída no dispositivo \"X\""},
        ErrorRow{"OutOfMemory", ERROR_NOT_ENOUGH_MEMORY, Stage::Write, false,
                 FailureCode::OutOfMemory, "Memória insuficiente"},
        // No sentence of ours fits: Windows' number and message are quoted.
        ErrorRow{"OtherAtOpen", ERROR_INVALID_FUNCTION, Stage::Open, false,
                 FailureCode::SystemError, "Não foi possível abrir \"X\" (erro 1 do Windows"},
        ErrorRow{"OtherAtWrite", ERROR_INVALID_FUNCTION, Stage::Write, false,
                 FailureCode::DeviceIo, "Erro de entrada/saída no dispositivo \"X\" (erro 1 do Windows"},
        // EINVAL means a bad name only when opening.
        ErrorRow{"InvalidParameterAtWrite", ERROR_INVALID_PARAMETER, Stage::Write, false,
                 FailureCode::DeviceIo,
                 "Erro de entrada/saída no dispositivo \"X\" (argumento inválido; erro 87 do Windows)"},
        // Winsock errors, which Windows has no text for under every system: our words.
        ErrorRow{"NetworkUnreachable", WSAENETUNREACH, Stage::Open, false, FailureCode::SystemError,
                 "Não foi possível abrir \"X\" (rede inacessível; erro 10051 do Windows)"},
        ErrorRow{"HostUnreachable", WSAEHOSTUNREACH, Stage::Open, false, FailureCode::SystemError,
                 "Não foi possível abrir \"X\" (sem caminho para a máquina; erro 10065 do Windows)"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket
