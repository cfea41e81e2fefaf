// The two status flags of the command line.
#include "status_flags.h"

namespace qrticket::cli {

void AddStatusFlags(CLI::App& app, Mode& mode, std::initializer_list<CLI::Option*> textOptions) {
  auto* ask = app.add_flag_callback(
      "--status", [&mode] { mode = Mode::AskStatus; },
      "pergunta o estado e a identificação da impressora (DLE EOT, GS I) sem imprimir, até 1 s "
      "por pedido e 4 s ao todo; sai com 0 se está pronta (respondeu aos quatro DLE EOT e não "
      "indica problema), 1 se não está, não se sabe ou não respondeu");
  auto* check = app.add_flag_callback(
      "--check-status", [&mode] { mode = Mode::PrintTicketCheckingStatus; },
      "pergunta o estado antes do talão (não imprime se não está pronta, ou se não se sabe) e "
      "depois dele");
  auto* find = app.add_flag_callback(
      "--find-speed", [&mode] { mode = Mode::FindSpeed; },
      "procura a velocidade de uma impressora série (--device PORTA, sem definições): pede o "
      "estado a 9600, 19200, 38400, 115200, 57600, 4800 e 2400 bit/s com 8N1 e depois 7E1, e "
      "mostra o nome com as definições a que respondeu (COM3:19200,n,8,1); sai com 0 se a "
      "encontrou, 1 se não respondeu a nenhuma");
  ask->excludes(check);
  find->excludes(ask);
  find->excludes(check);
  for (CLI::Option* option : textOptions) {
    ask->excludes(option);
    find->excludes(option);
  }
}

}  // namespace qrticket::cli
