// The failure descriptions of Windows' printers, in Portuguese (see printer_failures.h).
#include "devices/win/printer_failures.h"

#include <string>

#include "devices/device_failures.h"

namespace qrticket::failures {

PrintFailure NetworkDeliveryUnconfirmed(std::string_view device, std::chrono::milliseconds stall) {
  return {FailureCode::TimedOut,
          "Tempo esgotado: " + Quoted(device) + " não confirmou em " + Seconds(stall) +
              " que recebeu o talão (este Windows não diz o que a impressora leu, e ela não "
              "fechou a ligação)"};
}

namespace {
DeviceNamesShownBy namesShownBy = DeviceNamesShownBy::ListDevicesOption;
}  // namespace

void SetDeviceNamesShownBy(DeviceNamesShownBy where) { namesShownBy = where; }

PrintFailure UsbPrinterMissing(std::string_view device) {
  const char* where = namesShownBy == DeviceNamesShownBy::DeviceList
                          ? " ligada: escolha o nome na lista da caixa do dispositivo"
                          : " ligada: veja o nome com --list-devices";
  return {FailureCode::NotFound, "Não há nenhuma impressora USB " + Quoted(device) + where};
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

}  // namespace qrticket::failures
