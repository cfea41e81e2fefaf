// The bench's words.
#include "web_texts.h"

namespace qrticket::viewer::web::say {

std::string WebPageLine(std::string_view url) {
  return "qrticket-view: página da bancada em " + std::string(url);
}

std::string WebNoPassword(std::string_view url) {
  return "qrticket-view: aviso: a página " + std::string(url) +
         " não tem palavra-passe: quem chegar a este endereço vê os talões, transfere-os e "
         "pode limpar a lista";
}

std::string WebCannotListen(std::string_view address, int port) {
  return "não foi possível abrir a página da bancada em " + std::string(address) + ":" +
         std::to_string(port) + " (porta ocupada, ou endereço que não é desta máquina)";
}

std::string NoPrivateFolder() {
  return "não foi possível criar uma pasta temporária para os talões (use --out PASTA)";
}

std::string WebNotFound() { return "Não existe.\n"; }

std::string WebWrongHost() {
  return "Esta página só se abre pelo endereço da própria máquina (127.0.0.1 ou localhost).\n";
}

std::string WebClearRefused() {
  return "A lista só se limpa com o botão da própria página.\n";
}

std::string WebTooManyPages(int most) {
  return "Demasiadas páginas da bancada abertas (no máximo " + std::to_string(most) +
         "): feche uma e tente de novo.\n";
}

}  // namespace qrticket::viewer::web::say
