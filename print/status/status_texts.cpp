// Every word shown for a printer's status and identity, in one place.
#include "status/status_texts.h"

#include <array>

#include "devices/device_failures.h"
#include "devices/hex_byte.h"
#include "devices/text_encoding.h"

namespace qrticket {
namespace {

struct FactText {
  StatusFact fact;
  std::string_view text;
};

constexpr std::array kFactTexts = {
    FactText{StatusFact::Online, "em linha"},
    FactText{StatusFact::Offline, "fora de linha"},
    FactText{StatusFact::WaitingForOnlineRecovery, "à espera de voltar a ficar em linha"},
    FactText{StatusFact::FeedButtonPressed, "botão de avanço do papel premido"},
    FactText{StatusFact::CoverClosed, "tampa fechada"},
    FactText{StatusFact::CoverOpen, "tampa aberta"},
    FactText{StatusFact::PaperPresent, "papel presente"},
    FactText{StatusFact::PaperNearEnd, "papel a acabar"},
    FactText{StatusFact::PaperOut, "sem papel"},
    FactText{StatusFact::PaperBeingFed, "papel a ser alimentado"},
    FactText{StatusFact::CutterError, "erro do cortador"},
    FactText{StatusFact::UnrecoverableError, "erro irrecuperável"},
    FactText{StatusFact::RecoverableError, "erro recuperável"},
    FactText{StatusFact::UnspecifiedError, "erro (sem causa indicada)"},
};

struct FeatureText {
  TypeFeature feature;
  std::string_view text;
};

constexpr std::array kFeatureTexts = {
    FeatureText{TypeFeature::MultiByteCharacters, "caracteres de vários bytes"},
    FeatureText{TypeFeature::Autocutter, "cortador automático"},
    FeatureText{TypeFeature::CustomerDisplay, "visor de cliente"},
};

std::string_view FeatureName(TypeFeature feature) {
  for (const FeatureText& row : kFeatureTexts)
    if (row.feature == feature) return row.text;
  return {};
}

std::string Printable(const std::string& text) { return ShownPrinterText(text); }

// What each unanswered request leaves unknown.
struct UnknownText {
  StatusRequest request;
  std::string_view text;
};

constexpr std::array kUnknownTexts = {
    UnknownText{StatusRequest::Printer, "em linha ou fora de linha (DLE EOT 1)"},
    UnknownText{StatusRequest::OfflineCause, "tampa, fim do papel e erro (DLE EOT 2)"},
    UnknownText{StatusRequest::ErrorCause, "tipo de erro (DLE EOT 3)"},
    UnknownText{StatusRequest::PaperSensor, "sensor do papel (DLE EOT 4)"},
};

std::string Joined(const std::vector<std::string>& items, std::string_view separator) {
  std::string out;
  for (const std::string& item : items) {
    if (!out.empty()) out += separator;
    out += item;
  }
  return out;
}

void IdentityLines(const PrinterIdentity& id, std::vector<std::string>& lines) {
  if (id.maker) lines.push_back("fabricante: " + Printable(*id.maker));
  if (id.modelName) lines.push_back("modelo: " + Printable(*id.modelName));
  if (id.serialNumber) lines.push_back("número de série: " + Printable(*id.serialNumber));
  if (id.firmware) lines.push_back("firmware: " + Printable(*id.firmware));
  if (id.modelId) lines.push_back("ID do modelo: " + HexByte(*id.modelId));
  if (id.typeId) {
    std::vector<std::string> features;
    for (const TypeFeature f : DecodeType(*id.typeId)) features.emplace_back(FeatureName(f));
    std::string line = "ID do tipo: " + HexByte(*id.typeId);
    if (!features.empty()) line += " (" + Joined(features, ", ") + ")";
    lines.push_back(line);
  }
  if (id.versionId) lines.push_back("ID da versão: " + HexByte(*id.versionId));
}

std::vector<std::string> ProblemTexts(const StatusAnswers& answers) {
  std::vector<std::string> problems;
  for (const StatusFact fact : DecodeStatus(answers))
    if (IsProblem(fact)) problems.emplace_back(StatusFactText(fact));
  return problems;
}

}  // namespace

std::string_view StatusFactText(StatusFact fact) {
  for (const FactText& row : kFactTexts)
    if (row.fact == fact) return row.text;
  return {};
}

std::vector<std::string> StatusLines(const StatusReport& report) {
  std::vector<std::string> lines;
  IdentityLines(report.identity, lines);
  if (report.identitySkippedOffline)
    lines.emplace_back("identificação não pedida: a impressora só a envia quando está em linha");
  for (const StatusFact fact : DecodeStatus(report.status))
    lines.emplace_back(StatusFactText(fact));
  if (!report.unanswered.empty())
    lines.push_back("sem resposta a: " + Joined(report.unanswered, ", "));
  if (report.hungUp) lines.emplace_back("a impressora desligou-se a meio do pedido");
  if (report.unaskedCount > 0)
    lines.push_back("estado automático (GS a) recebido sem ser pedido: " +
                    std::to_string(report.unaskedCount) + " vez(es)");
  const std::string problems = ProblemCauses(report.status);
  if (report.ready())
    lines.emplace_back("pronta a imprimir");
  else if (!problems.empty())
    lines.push_back("não está pronta: " + problems);
  else
    lines.push_back("não se sabe se está pronta: " + UnknownCauses(report.status));
  return lines;
}

std::string ProblemCauses(const StatusAnswers& answers) {
  return Joined(ProblemTexts(answers), ", ");
}

std::string UnknownCauses(const StatusAnswers& answers) {
  std::vector<std::string> unknown;
  for (const StatusRequest request : UnknownStates(answers))
    for (const UnknownText& row : kUnknownTexts)
      if (row.request == request) unknown.emplace_back(row.text);
  return unknown.empty() ? std::string() : "sem resposta sobre " + Joined(unknown, ", ");
}

std::string ShownPrinterText(BytesView text) { return ShownControls(Latin1ToUtf8(text)); }

std::string SpeedSearchWarning() {
  return "a procurar a velocidade: uma impressora a outra velocidade pode imprimir alguns "
         "caracteres soltos";
}

std::string TryingSerialSettings(std::string_view settings) {
  return "a tentar " + std::string(settings);
}

std::string NoSpeedAnswered() { return "a impressora não respondeu a nenhuma velocidade"; }

std::string SpeedSearchCut(std::chrono::milliseconds whole, std::string_view settings) {
  return "a procura parou no limite de " + failures::Seconds(whole) + ", em " + std::string(settings) +
         ": as definições seguintes não foram tentadas";
}

}  // namespace qrticket
