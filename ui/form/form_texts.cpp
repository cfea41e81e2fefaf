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
std::string_view CodeTablesMenuCaption() { return "Imprimir talão das tabelas de caracteres"; }
std::string_view CodeTableNoneCaption() { return "Tabela de caracteres: nenhuma (como sempre)"; }
std::string_view CodeTable0Caption() { return "Tabela de caracteres: 0 (PC437)"; }
std::string_view CodeTable2Caption() { return "Tabela de caracteres: 2 (PC850)"; }
std::string_view CodeTable3Caption() { return "Tabela de caracteres: 3 (PC860, português)"; }
std::string_view CodeTable16Caption() { return "Tabela de caracteres: 16 (WPC1252)"; }
std::string_view CodeTable19Caption() { return "Tabela de caracteres: 19 (PC858, com €)"; }
std::string_view CodeTable40Caption() { return "Tabela de caracteres: 40 (ISO-8859-15)"; }
std::string_view RasterSymbolCaption() {
  return "QR desenhado pelo programa (imagem GS v 0, versão 9 ou mais)";
}
std::string CodeTableChosenMessage(std::optional<int> table, std::string_view name) {
  if (!table)
    return "Os talões desta janela não escolhem tabela de caracteres: o texto segue em "
           "Windows-1252, como sempre.";
  const std::string n = std::to_string(*table);
  return "Até fechar a janela, os talões escolhem a tabela de caracteres " + n + " (" +
         std::string(name) + ") com ESC t " + n +
         " e escrevem nela o texto impresso. Os dados do QR seguem como sempre.";
}

std::string_view DensityMenuCaption180() { return "Impressora de 180 ppp (Portaria 195/2020)"; }
std::string_view DensityMenuCaption203() { return "Impressora de 203 ppp (Portaria 195/2020)"; }
std::string_view DensityMenuCaption300() { return "Impressora de 300 ppp (Portaria 195/2020)"; }

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
