// The device layer's failure descriptions, in Portuguese, as the operator reads them after
// "Falha na impressão:". Each names the failure first and the device as it was typed. Here: the
// channel, names, system errors and the network; ports and serial lines are in
// port_failures.cpp, CUPS in posix/, Windows' printers in win/.
#include "devices/device_failures.h"

#include <cerrno>
#include <string>
#include <utility>

#include "devices/errno_words.h"

namespace qrticket::failures {

std::string Quoted(std::string_view device) {
  std::string s = "\"";
  s.append(device);
  s += '"';
  return s;
}

std::string Seconds(std::chrono::milliseconds ms) {
  const auto count = ms.count();
  if (count % 1000 == 0) return std::to_string(count / 1000) + " s";
  return std::to_string(count) + " ms";
}

PrintFailure ByteOutOfRange(int code) {
  return {FailureCode::InvalidArgument,
          "Argumento inválido: " + std::to_string(code) + " não é um byte (0 a 255)"};
}

const char* OutOfMemoryText() noexcept { return "Memória insuficiente"; }

PrintFailure OutOfMemory() { return {FailureCode::OutOfMemory, OutOfMemoryText()}; }

PrintFailure AlreadyOpen(int channel) {
  return {FailureCode::AlreadyOpen, "O canal " + std::to_string(channel) + " já está aberto"};
}

PrintFailure BadChannel(int channel) {
  return {FailureCode::BadChannel, "O canal " + std::to_string(channel) + " não está aberto"};
}

PrintFailure BadFileName(std::string_view device, std::string_view why) {
  std::string text = "Nome de dispositivo inválido: " + Quoted(device);
  if (!why.empty()) text += " (" + std::string(why) + ")";
  return {FailureCode::BadFileName, std::move(text)};
}

PrintFailure FromErrno(int error, std::string_view device, Stage stage,
                       std::string_view detail) {
  const std::string name = Quoted(device);
  // A full quota reads as a full disk; not every C library has a number for it.
  if (error == ENOSPC || error == EFBIG || IsQuotaExceeded(error))
    return {FailureCode::DiskFull, "Disco cheio ao escrever em " + name};
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return {FailureCode::NotFound, "O dispositivo ou ficheiro " + name + " não existe"};
    case EACCES:
    case EPERM:
      return {FailureCode::AccessRefused, "Sem permissão para escrever em " + name};
    case EROFS:
      return {FailureCode::AccessRefused, name + " está num disco só de leitura"};
    case EBUSY:
    case EWOULDBLOCK:
      return {FailureCode::DeviceBusy, "O dispositivo " + name + " está ocupado por outro programa"};
    case ENXIO:
    case ENODEV:
      return {FailureCode::DeviceUnavailable, "O dispositivo " + name + " não está disponível"};
    case EISDIR:
      return {FailureCode::IsDirectory, name + " é uma pasta, não um dispositivo nem um ficheiro"};
    case ENAMETOOLONG:
    case EINVAL:
      if (stage == Stage::Open) return BadFileName(device);
      break;
    case EPIPE:
    case ECONNRESET:
    case ECONNABORTED:
    case ENOTCONN:
      return ConnectionLost(device);
    case ETIMEDOUT:  // the network stack gave up retransmitting to the peer
      if (stage != Stage::Open) return ConnectionLost(device);
      break;
    case EIO:
      return {FailureCode::DeviceIo, "Erro de entrada/saída no dispositivo " + name};
    case ENOMEM:
      return OutOfMemory();
    default:
      break;
  }
  const std::string why = detail.empty() ? SystemErrorText(error) : std::string(detail);
  if (stage != Stage::Open)
    return {FailureCode::DeviceIo, "Erro de entrada/saída no dispositivo " + name + " (" + why + ")"};
  return {FailureCode::SystemError, "Não foi possível abrir " + name + " (" + why + ")"};
}

std::string WindowsErrorDetail(unsigned long code, std::string_view systemText) {
  std::string detail = "erro " + std::to_string(code) + " do Windows";
  if (!systemText.empty()) detail += ": " + std::string(systemText);
  return detail;
}

PrintFailure TimedOut(std::string_view device, std::chrono::milliseconds stall) {
  return {FailureCode::TimedOut, "Tempo esgotado: o dispositivo " + Quoted(device) +
                                     " não aceitou dados durante " + Seconds(stall) +
                                     " (desligado, sem papel ou fora de linha?)"};
}

PrintFailure NoReader(std::string_view device) {
  return {FailureCode::NoReader, "Nenhum programa está a ler de " + Quoted(device)};
}

PrintFailure StandardOutputClosed() {
  return {FailureCode::NotFound,
          "A saída padrão está fechada: \"-\" não tem para onde escrever o talão"};
}

PrintFailure UnknownHost(std::string_view device) {
  return {FailureCode::UnknownHost, "Endereço desconhecido: " + Quoted(device)};
}

PrintFailure NameLookupUnavailable(std::string_view device) {
  return {FailureCode::NameLookupFailed,
          "Não foi possível consultar o servidor de nomes para " + Quoted(device) +
              " (sem rede ou servidor de nomes indisponível)"};
}

PrintFailure ConnectionRefused(std::string_view device) {
  return {FailureCode::ConnectionRefused, "Ligação recusada por " + Quoted(device)};
}

PrintFailure ConnectTimedOut(std::string_view device, std::chrono::milliseconds bound) {
  return {FailureCode::ConnectTimedOut, "Tempo esgotado: " + Quoted(device) +
                                            " não respondeu à ligação em " + Seconds(bound)};
}

PrintFailure ConnectionLost(std::string_view device) {
  return {FailureCode::ConnectionLost, "A ligação a " + Quoted(device) + " foi interrompida"};
}

PrintFailure Interrupted() {
  return {FailureCode::Interrupted, "Impressão interrompida (Ctrl+C ou sinal de terminação)"};
}

}  // namespace qrticket::failures
