// The status exchange's failure descriptions, in Portuguese: a device that cannot answer,
// a printer that does not, and a printer that is not ready around a ticket.
#include "status/status_failures.h"

#include <string>

#include "devices/device_failures.h"

namespace qrticket::failures {

namespace {

std::string NoWayBackWhat(NoWayBack kind) {
  switch (kind) {
    case NoWayBack::File: return " é um ficheiro";
    case NoWayBack::Fifo: return " é um FIFO";
    case NoWayBack::StandardOutput: return " é a saída padrão";
    case NoWayBack::PrintQueue: return " é uma fila de impressão";
    case NoWayBack::Device: return " não devolve dados";
  }
  return {};
}

// Which printers answer on Windows: the spooler brings nothing back, and parallel ports are
// not asked.
constexpr const char* kWhoAnswersOnWindows =
    "no Windows só impressoras em tcp://, em portas série (COM) e USB (usb:) dizem o seu estado";

}  // namespace

PrintFailure NoReturnChannel(std::string_view device, NoWayBack kind) {
  return {FailureCode::NoReturnChannel,
          "sem canal de retorno: " + Quoted(device) + NoWayBackWhat(kind) +
              "; só impressoras em tcp://, em portas série e USB dizem o seu estado"};
}

PrintFailure NoReturnChannelOnWindows(std::string_view device, NoWayBack kind) {
  return {FailureCode::NoReturnChannel, "sem canal de retorno: " + Quoted(device) +
                                            NoWayBackWhat(kind) + "; " + kWhoAnswersOnWindows};
}

PrintFailure StatusNotOnWindows(std::string_view device) {
  return {FailureCode::NoReturnChannel, "sem canal de retorno: " + Quoted(device) +
                                            " não é pedido; " + kWhoAnswersOnWindows};
}

PrintFailure SpeedSearchWithSettings(std::string_view device) {
  return {FailureCode::BadFileName, "a procura da velocidade encontra as definições sozinha: "
                                    "indique a porta sem elas, não " + Quoted(device)};
}

PrintFailure NoAnswer(std::string_view device, std::chrono::milliseconds bound) {
  return {FailureCode::NoAnswer, "a impressora não respondeu: nenhuma resposta de " +
                                     Quoted(device) + " ao pedido de estado (DLE EOT) em " +
                                     Seconds(bound)};
}

// Many USB printers send nothing back through the USB printing class, or their driver does
// not read at all: both are the same for the operator, a printer that does not answer here.
PrintFailure NoAnswerOverUsb(std::string_view device, std::chrono::milliseconds bound,
                             unsigned long readError) {
  if (readError != 0)
    return {FailureCode::NoAnswer, "a impressora não respondeu: sem resposta por USB de " +
                                       Quoted(device) +
                                       ": o controlador USB do Windows não lê desta impressora (" +
                                       WindowsErrorDetail(readError, {}) + ")"};
  return {FailureCode::NoAnswer, "a impressora não respondeu: sem resposta por USB de " +
                                     Quoted(device) + " ao pedido de estado (DLE EOT) em " +
                                     Seconds(bound) +
                                     "; muitas impressoras USB não respondem por aqui"};
}

PrintFailure UnaskedData(std::string_view device) {
  return {FailureCode::UnaskedData, "estado ilegível: a linha de " + Quoted(device) +
                                        " traz dados que ninguém pediu"};
}

PrintFailure HungUp(std::string_view device) {
  return {FailureCode::ConnectionLost, "a impressora desligou-se: " + Quoted(device) +
                                           " fechou a ligação a meio do pedido de estado"};
}

PrintFailure NotReadyNothingPrinted(std::string_view device, std::string_view causes) {
  return {FailureCode::PrinterNotReady, "A impressora " + Quoted(device) + " não está pronta (" +
                                            std::string(causes) + "); nada foi impresso"};
}

PrintFailure UncheckedNothingPrinted(const PrintFailure& cause) {
  return {cause.code(), cause.description() + "; nada foi impresso"};
}

PrintFailure StateUnknownNothingPrinted(std::string_view device, std::string_view unknown) {
  return {FailureCode::PrinterNotReady, "Não se sabe se a impressora " + Quoted(device) +
                                            " está pronta (" + std::string(unknown) +
                                            "); nada foi impresso"};
}

PrintFailure SentButNotReady(std::string_view device, std::string_view causes) {
  return {FailureCode::MayBeIncomplete, "O talão foi enviado para " + Quoted(device) +
                                            ", mas a impressora indica agora: " +
                                            std::string(causes) +
                                            "; o talão pode estar incompleto"};
}

PrintFailure SentButStateUnknown(std::string_view device, std::string_view unknown) {
  return {FailureCode::MayBeIncomplete, "O talão foi enviado para " + Quoted(device) +
                                            ", mas o estado depois do talão não se obteve (" +
                                            std::string(unknown) +
                                            "); o talão pode estar incompleto"};
}

PrintFailure SentButUnchecked(std::string_view device, const PrintFailure& cause) {
  return {FailureCode::MayBeIncomplete, "O talão foi enviado para " + Quoted(device) +
                                            ", mas o estado depois do talão não se obteve (" +
                                            cause.description() +
                                            "); o talão pode estar incompleto"};
}

}  // namespace qrticket::failures
