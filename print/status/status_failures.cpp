// The status exchange's failure descriptions, in Portuguese: a device that cannot answer,
// a printer that does not, and a printer that is not ready around a ticket.
#include "status/status_failures.h"

#include <string>

#include "devices/device_failures.h"

namespace qrticket::failures {

PrintFailure NoReturnChannel(std::string_view device, NoWayBack kind) {
  const char* what = "";
  switch (kind) {
    case NoWayBack::File: what = " é um ficheiro"; break;
    case NoWayBack::Fifo: what = " é um FIFO"; break;
    case NoWayBack::StandardOutput: what = " é a saída padrão"; break;
    case NoWayBack::PrintQueue: what = " é uma fila de impressão"; break;
    case NoWayBack::Device: what = " não devolve dados"; break;
  }
  return {FailureCode::NoReturnChannel,
          "sem canal de retorno: " + Quoted(device) + what +
              "; só impressoras em tcp://, em portas série e USB dizem o seu estado"};
}

PrintFailure StatusNotOnWindows(std::string_view device) {
  return {FailureCode::NoReturnChannel,
          "sem canal de retorno: no Windows o estado só se pede a impressoras em tcp://, não a " +
              Quoted(device)};
}

PrintFailure NoAnswer(std::string_view device, std::chrono::milliseconds bound) {
  return {FailureCode::NoAnswer, "a impressora não respondeu: nenhuma resposta de " +
                                     Quoted(device) + " ao pedido de estado (DLE EOT) em " +
                                     Seconds(bound)};
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
