// The device layer's failure descriptions, in Portuguese, as the operator reads them after
// "Falha na impressão:". Each names the failure first and the device as it was typed.
#include "devices/device_failures.h"

#include "devices/text_encoding.h"

#include <cerrno>
#include <string>
#include <utility>

namespace qrticket::failures {
namespace {

// The system's own error texts are English (strerror follows the C locale, and Portuguese
// catalogues are rarely installed); these are ours, for the errors a device, a file or a
// network printer can meet. A table, not a switch: some names share a value (EAGAIN and
// EWOULDBLOCK, ENOTSUP and EOPNOTSUPP).
constexpr std::pair<int, const char*> kSystemErrorTexts[] = {
    {EPERM, "operação não permitida"},
    {ENOENT, "não existe"},
    {EINTR, "chamada interrompida"},
    {EIO, "erro de entrada/saída"},
    {ENXIO, "dispositivo ou endereço inexistente"},
    {EBADF, "descritor de ficheiro inválido"},
    {EAGAIN, "recurso temporariamente indisponível"},
    {ENOMEM, "memória insuficiente"},
    {EACCES, "permissão negada"},
    {EFAULT, "endereço de memória inválido"},
    {EBUSY, "dispositivo ou recurso ocupado"},
    {EEXIST, "o ficheiro já existe"},
    {ENODEV, "dispositivo inexistente"},
    {ENOTDIR, "uma parte do caminho não é uma pasta"},
    {EISDIR, "é uma pasta"},
    {EINVAL, "argumento inválido"},
    {ENFILE, "demasiados ficheiros abertos no sistema"},
    {EMFILE, "demasiados ficheiros abertos"},
    {ENOTTY, "operação imprópria para o dispositivo"},
    {ETXTBSY, "ficheiro em uso"},
    {EFBIG, "ficheiro demasiado grande"},
    {ENOSPC, "sem espaço no dispositivo"},
    {ESPIPE, "posicionamento impossível"},
    {EROFS, "sistema de ficheiros só de leitura"},
    {EPIPE, "o leitor fechou o canal"},
    {ERANGE, "resultado fora do intervalo"},
    {EDEADLK, "bloqueio mútuo evitado"},
    {ENAMETOOLONG, "nome demasiado comprido"},
    {ENOLCK, "sem bloqueios disponíveis"},
    {ENOSYS, "função não implementada"},
    {ELOOP, "demasiados níveis de ligações simbólicas"},
    {ETIME, "tempo esgotado"},
    {ENOLINK, "a ligação foi cortada"},
    {EPROTO, "erro de protocolo"},
    {EOVERFLOW, "valor demasiado grande para o tipo de dados"},
    {ENOTSOCK, "não é uma ligação de rede"},
    {EDESTADDRREQ, "falta o endereço de destino"},
    {EMSGSIZE, "mensagem demasiado comprida"},
    {EPROTOTYPE, "tipo de protocolo errado"},
    {ENOPROTOOPT, "protocolo indisponível"},
    {EPROTONOSUPPORT, "protocolo não suportado"},
    {EOPNOTSUPP, "operação não suportada"},
    {EAFNOSUPPORT, "família de endereços não suportada"},
    {EADDRINUSE, "endereço já em uso"},
    {EADDRNOTAVAIL, "endereço indisponível"},
    {ENETDOWN, "a rede está em baixo"},
    {ENETUNREACH, "rede inacessível"},
    {ENETRESET, "a rede cortou a ligação"},
    {ECONNABORTED, "ligação abortada"},
    {ECONNRESET, "ligação reposta pelo outro lado"},
    {ENOBUFS, "sem memória intermédia disponível"},
    {EISCONN, "já está ligado"},
    {ENOTCONN, "não está ligado"},
    {ETIMEDOUT, "tempo de ligação esgotado"},
    {ECONNREFUSED, "ligação recusada"},
    {EHOSTUNREACH, "sem caminho para a máquina"},
    {EALREADY, "operação já em curso"},
    {EINPROGRESS, "operação em curso"},
    {ECANCELED, "operação cancelada"},
#ifdef __linux__  // error numbers that Windows' C library does not have
    {ECOMM, "erro de comunicação ao enviar"},
    {EBADFD, "descritor de ficheiro em mau estado"},
    {ESHUTDOWN, "a ligação já foi fechada para envio"},
    {EHOSTDOWN, "a máquina está desligada"},
    {ESTALE, "ficheiro de rede já não existe no servidor"},
    {EDQUOT, "quota de disco excedida"},
    {ENOMEDIUM, "sem suporte no dispositivo"},
    {EMEDIUMTYPE, "tipo de suporte errado"},
    {EREMOTEIO, "erro de entrada/saída remoto"},
#endif
};

}  // namespace

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

std::string SystemErrorText(int error) {
  for (const auto& [number, text] : kSystemErrorTexts)
    if (number == error) return text;
  return "erro " + std::to_string(error);
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
    case ENOSPC:
#ifdef EDQUOT  // not in Windows' C library
    case EDQUOT:
#endif
    case EFBIG:
      return {FailureCode::DiskFull, "Disco cheio ao escrever em " + name};
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

// --- Printer ports and device nodes -----------------------------------------------------

PrintFailure BadPortName(std::string_view port) {
  return {FailureCode::BadFileName,
          Quoted(port) + " não é uma porta: as portas série vão de COM1: a COM256: e as "
                         "paralelas de LPT1: a LPT3:"};
}

PrintFailure PortMissing(std::string_view port, std::string_view path) {
  return {FailureCode::NotFound,
          "A porta " + Quoted(port) + " (" + std::string(path) + ") não existe"};
}

PrintFailure PortWithoutHardware(std::string_view port, std::string_view path) {
  return {FailureCode::NotFound, "A porta " + Quoted(port) + " (" + std::string(path) +
                                     ") não existe: não há hardware por trás de " +
                                     std::string(path)};
}

PrintFailure AccessRefusedJoinGroup(std::string_view device, std::string_view path,
                                    std::string_view group) {
  std::string where = Quoted(device);
  if (device != path) where += " (" + std::string(path) + ")";
  const std::string g(group);
  return {FailureCode::AccessRefused,
          "Sem permissão para escrever em " + where + ": só o grupo " + g +
              " tem acesso. Junte o utilizador ao grupo (sudo usermod -aG " + g +
              " $USER) e volte a entrar na sessão"};
}

// --- Serial settings ---------------------------------------------------------------------

std::string SerialFieldText(SerialField field, std::string_view value) {
  const std::string v(value);
  switch (field) {
    case SerialField::Speed:
      return v.empty() ? "falta a velocidade" : "velocidade inválida: " + v;
    case SerialField::Parity:
      return "paridade inválida: " + v + " (n, e, o, m ou s)";
    case SerialField::DataBits:
      return "bits de dados inválidos: " + v + " (5 a 8)";
    case SerialField::StopBits:
      return "bits de paragem inválidos: " + v + " (1, 1.5 ou 2)";
    case SerialField::Flow:
      return "controlo de fluxo inválido: " + v + " (n, x, r, d ou p)";
    case SerialField::Extra:
      return "definições a mais: " + (v.empty() ? std::string("uma vírgula no fim") : v);
  }
  return "definições inválidas: " + v;
}

std::string SettingsNeedSerialPort(std::string_view port) {
  return std::string(port) + " não é uma porta série: as definições só se aplicam a portas série";
}

PrintFailure SpeedNotTaken(std::string_view device, std::uint32_t asked, std::uint32_t set) {
  return {FailureCode::DeviceUnavailable,
          "A porta " + Quoted(device) + " não aceita a velocidade " + std::to_string(asked) +
              ": o controlador ficou a " + std::to_string(set) + "; nada foi enviado"};
}

PrintFailure SettingNotTaken(std::string_view device, std::string_view setting) {
  return {FailureCode::DeviceUnavailable, "A porta " + Quoted(device) + " não aceita " +
                                              std::string(setting) + "; nada foi enviado"};
}

PrintFailure NoDsrLine(std::string_view device) {
  return {FailureCode::DeviceUnavailable,
          "A porta " + Quoted(device) +
              " não indica o sinal DSR: o controlo de fluxo d (DTR/DSR) não é possível nela"};
}

PrintFailure NotASerialLine(std::string_view device) {
  return {FailureCode::BadFileName,
          Quoted(device) + " não é uma porta série: as definições só se aplicam a portas série"};
}

// --- Windows: network printers without figures, installed printers, USB printers --------

PrintFailure NetworkDeliveryUnconfirmed(std::string_view device, std::chrono::milliseconds stall) {
  return {FailureCode::TimedOut,
          "Tempo esgotado: " + Quoted(device) + " não confirmou em " + Seconds(stall) +
              " que recebeu o talão (este Windows não diz o que a impressora leu, e ela não "
              "fechou a ligação)"};
}

PrintFailure UsbPrinterMissing(std::string_view device) {
  return {FailureCode::NotFound, "Não há nenhuma impressora USB " + Quoted(device) +
                                     " ligada: veja o nome com --list-devices"};
}

PrintFailure NoDefaultPrinter() {
  return {FailureCode::NotFound,
          "Não há uma impressora predefinida no Windows: indique a impressora, printer:NOME"};
}

namespace {

struct StateWord {
  SpoolerState state;
  const char* words;
};

// The words of Windows' own queue window, as a Portuguese Windows says them.
constexpr StateWord kStateWords[] = {
    {SpoolerState::Paused, "em pausa"},
    {SpoolerState::Error, "com um erro"},
    {SpoolerState::PendingDeletion, "a ser removida"},
    {SpoolerState::PaperJam, "papel encravado"},
    {SpoolerState::PaperOut, "sem papel"},
    {SpoolerState::PaperProblem, "problema no papel"},
    {SpoolerState::Offline, "fora de linha"},
    {SpoolerState::UserIntervention, "à espera de intervenção"},
    {SpoolerState::DoorOpen, "tampa aberta"},
    {SpoolerState::NotAvailable, "indisponível"},
    {SpoolerState::OutputBinFull, "saída do papel cheia"},
    {SpoolerState::NoToner, "sem tinta"},
    {SpoolerState::ServerOffline, "servidor de impressão fora de linha"},
    {SpoolerState::WorkOffline, "marcada \"Utilizar impressora offline\""},
    {SpoolerState::JobPaused, "trabalho em pausa"},
    {SpoolerState::JobBlocked, "o controlador não consegue imprimir o trabalho"},
    {SpoolerState::JobDeleted, "trabalho apagado"},
};

std::string Printer(std::string_view device) { return "A impressora " + Quoted(device); }

}  // namespace

std::string SpoolerStateWords(const std::vector<SpoolerState>& states) {
  std::string words;
  for (const SpoolerState state : states)
    for (const StateWord& word : kStateWords)
      if (word.state == state) words += (words.empty() ? "" : ", ") + std::string(word.words);
  return words;
}

PrintFailure SpoolerPrinterNotReady(std::string_view device,
                                    const std::vector<SpoolerState>& states) {
  return {FailureCode::PrinterNotReady, Printer(device) + " não pode imprimir agora, diz o Windows: " +
                                            SpoolerStateWords(states) + "; nada foi enviado"};
}

PrintFailure SpoolerRefusedJob(std::string_view device, std::string_view detail) {
  return {FailureCode::DeviceIo, "O Windows não aceitou o talão para " + Quoted(device) +
                                     " (a fila pode estar a recusar trabalhos; " +
                                     std::string(detail) + ")"};
}

PrintFailure SpoolerJobStopped(std::string_view device, const std::vector<SpoolerState>& states) {
  return {FailureCode::SpoolerJobStopped, "O talão não foi impresso em " + Quoted(device) + ": " +
                                              SpoolerStateWords(states)};
}

PrintFailure SpoolerLeftWhileNotReady(std::string_view device,
                                      const std::vector<SpoolerState>& states) {
  return {FailureCode::DeliveryUnconfirmed,
          "O talão saiu da fila de " + Quoted(device) + " sem sinal de que foi impresso, e a "
          "impressora está agora: " + SpoolerStateWords(states) +
              "; pode sair mais tarde, quando ela voltar a imprimir"};
}

PrintFailure SpoolerDeliveryUnconfirmed(std::string_view device) {
  return {FailureCode::DeliveryUnconfirmed,
          "Entrega não confirmada: o talão saiu da fila de " + Quoted(device) +
              " sem que o Windows dissesse que foi impresso (este serviço de impressão não o "
              "diz). Veja se saiu na impressora; se a fila estiver parada, sai quando ela "
              "retomar"};
}

PrintFailure SpoolerTimedOut(std::string_view device, std::chrono::milliseconds stall,
                             const std::vector<SpoolerState>& states) {
  std::string description = "Tempo esgotado: o talão não avançou na fila de " + Quoted(device) +
                            " durante " + Seconds(stall) + " e foi apagado";
  if (!states.empty()) description += "; a impressora está: " + SpoolerStateWords(states);
  return {FailureCode::TimedOut, description};
}

// --- CUPS queues -------------------------------------------------------------------------

namespace {

std::string CupsSays(std::string_view reason) {
  if (reason.empty()) return {};
  return " (CUPS: " + Quoted(ShownControls(reason)) + ")";  // a printer's words, as they came
}

std::string Job(int job) { return "O trabalho " + std::to_string(job); }

}  // namespace

PrintFailure CupsNotInstalled() {
  return {FailureCode::CupsUnavailable, "o suporte de CUPS não está instalado (libcups2)"};
}

PrintFailure CupsUnavailable(std::string_view server) {
  return {FailureCode::CupsUnavailable,
          "Sem ligação ao serviço de impressão CUPS (" + std::string(server) +
              "): o CUPS não está a funcionar ou não aceita ligações"};
}

PrintFailure CupsNotResponding(std::string_view server) {
  return {FailureCode::CupsUnavailable,
          "O serviço de impressão CUPS (" + std::string(server) + ") deixou de responder"};
}

PrintFailure CupsQueueNotFound(std::string_view queue) {
  return {FailureCode::CupsQueueNotFound, "A fila CUPS " + Quoted(queue) + " não existe"};
}

PrintFailure CupsNoDefault() {
  return {FailureCode::CupsQueueNotFound,
          "Não há uma fila CUPS predefinida: indique a fila, cups:NOME"};
}

PrintFailure CupsRefused(std::string_view queue, std::string_view reason) {
  return {FailureCode::CupsRefused,
          "A fila CUPS " + Quoted(queue) + " recusou o trabalho" + CupsSays(reason)};
}

PrintFailure CupsJobHeld(std::string_view queue, int job, std::string_view reason) {
  return {FailureCode::CupsJobStopped, Job(job) + " ficou retido na fila CUPS " + Quoted(queue) +
                                           " e foi cancelado" + CupsSays(reason)};
}

PrintFailure CupsJobCancelled(std::string_view queue, int job, std::string_view reason) {
  return {FailureCode::CupsJobStopped,
          Job(job) + " foi cancelado na fila CUPS " + Quoted(queue) + CupsSays(reason)};
}

PrintFailure CupsJobAborted(std::string_view queue, int job, std::string_view reason) {
  return {FailureCode::CupsJobStopped,
          Job(job) + " foi abortado pela fila CUPS " + Quoted(queue) + CupsSays(reason)};
}

PrintFailure CupsCancelledAfterSending(const PrintFailure& cause) {
  return {cause.code(), cause.description() +
                            "; o CUPS já tinha enviado o talão todo à impressora, que pode já o "
                            "ter impresso"};
}

PrintFailure CupsTimedOut(std::string_view queue, int job, std::chrono::milliseconds stall,
                          bool queueStopped, std::string_view reason) {
  return {FailureCode::TimedOut, "Tempo esgotado: o trabalho " + std::to_string(job) +
                                     " não avançou na fila CUPS " + Quoted(queue) +
                                     " durante " + Seconds(stall) + " e foi cancelado" +
                                     (queueStopped ? "; a fila está parada" : "") +
                                     CupsSays(reason)};
}

}  // namespace qrticket::failures
