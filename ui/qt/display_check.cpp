// Whether a window can be opened, asked before Qt starts (see display_check.h).
#include "display_check.h"

#include <cstdlib>
#include <string_view>

#ifdef QRTICKET_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace qrticket::ui {
namespace {

std::string_view Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string_view(value) : std::string_view();
}

}  // namespace

bool WindowSystemReachable() {
  const std::string_view platform = Environment("QT_QPA_PLATFORM");
  if (!platform.empty() && !platform.starts_with("xcb")) return true;
  if (Environment("DISPLAY").empty()) return false;
#ifdef QRTICKET_HAVE_XCB
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  const bool reachable = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);
  return reachable;
#else
  return true;
#endif
}

std::string NoDisplayMessage(const std::string& cliCommand) {
  return "qrticket-gui: não há ecrã gráfico disponível (a variável DISPLAY não está definida ou "
         "o servidor X não responde).\n"
         "Esta janela precisa de um ambiente gráfico. Para imprimir o talão de teste sem janela, "
         "use o programa de linha de comandos qrticket, por exemplo:\n"
         "  " + cliCommand + " --device LPT1:\n"
         "  " + cliCommand + " --device /dev/usb/lp0 --size 8 --woosim\n"
         "Todas as opções: " + cliCommand + " --help\n";
}

}  // namespace qrticket::ui
