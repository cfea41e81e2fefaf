// The windows' words (see form_texts.h).
#include "form_texts.h"

#include "app_identity.h"

namespace qrticket::ui::texts {

std::string DeviceBoxToolTip(bool preview) {
  std::string help(DeviceNamesHelp());
  if (preview) help += "\nVISUALIZAR: mostra no ecrã o talão que a impressora imprimiria, sem impressora.";
  return help;
}

std::string_view PrintButtonToolTip() { return "Botão direito: talão de limites do QR"; }

std::string_view StatusButtonToolTip() {
  return "Pergunta à impressora o seu estado e quem é (rede, porta série ou USB); botão direito: "
         "procurar a velocidade de uma impressora série";
}

std::string_view ProbeMenuCaption80() { return "Imprimir talão de limites do QR (papel de 80 mm)"; }
std::string_view ProbeMenuCaption58() { return "Imprimir talão de limites do QR (papel de 58 mm)"; }

std::string_view SpeedSearchMenuCaption() { return "Procurar velocidade"; }

namespace {

// "de COM3:" and "de tcp://10.0.0.7:": a name that ends in its own colon gets no second one.
std::string OfDevice(std::string_view device) {
  std::string text = "de " + std::string(device);
  if (!text.ends_with(':')) text += ':';
  return text;
}

}  // namespace

std::string SpeedSearchHeading(std::string_view device) {
  return "Procurar velocidade " + OfDevice(device);
}

std::string SpeedFound(std::string_view name) {
  return "respondeu a " + std::string(name) + " (o nome ficou na caixa do dispositivo)";
}

std::string SpeedSearchTitle(std::string_view settings) {
  return std::string(kMainWindowCaption) + " - Procurar velocidade: a tentar " +
         std::string(settings);
}

std::string PrintedWithoutSymbol(std::string_view why) {
  return "O talão foi impresso sem o símbolo QR: " + std::string(why) + ".";
}

std::string StatusHeading(std::string_view device) { return "Estado " + OfDevice(device); }

std::string_view SerialLineMayBeAtAnotherSpeed() {
  return "A linha pode estar a outra velocidade que a da impressora: \"Procurar velocidade\", "
         "no menu do botão Estado, procura-a.";
}

std::string_view PreviewHasNoStatus() {
  return "VISUALIZAR: mostra o talão no ecrã e não tem estado.\n"
         "A impressora virtual responde a pedidos de estado em rede: "
         "qrticket-view --listen 9100 --out PASTA, e aqui tcp://127.0.0.1:9100.";
}

std::string PreviewTitle() { return std::string(kApplicationTitle) + " - Visualizar talão"; }
std::string_view SavePngButton() { return "Guardar PNG..."; }
std::string_view CloseButton() { return "Fechar"; }
std::string_view SaveDialogTitle() { return "Guardar talão"; }
std::string_view SaveDialogFileName() { return "talao.png"; }
std::string_view SaveDialogFilter() { return "Imagens PNG (*.png)"; }

}  // namespace qrticket::ui::texts
