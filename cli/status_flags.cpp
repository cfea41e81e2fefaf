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
  ask->excludes(check);
  for (CLI::Option* option : textOptions) ask->excludes(option);
}

}  // namespace qrticket::cli
