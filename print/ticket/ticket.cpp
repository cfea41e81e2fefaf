#include "ticket/ticket.h"

#include "devices/char_from_code.h"
#include "devices/text_encoding.h"
#include "ticket/publisher.h"
#include "ticket/qr_commands.h"
#include "ticket/ticket_code_table.h"

namespace qrticket {
namespace {

// Literals below are written in UTF-8 and leave for the printer in Windows-1252.
Bytes Cp(std::string_view utf8) { return Utf8ToCp1252(utf8).value_or(Bytes{}); }

const Bytes kEsc = CharFromCode(27);
const Bytes kLf = CharFromCode(10);
const Bytes kRule(40, '-');

}  // namespace

Bytes TicketHeader(const QrPrintSettings& settings) {
  Bytes header = kEsc + "@";                                  // ESC @: initialise
  if (settings.pageMode) header += kEsc + CharFromCode(12);   // ESC FF: page mode
  if (settings.centred) header += kEsc + "a" + CharFromCode(1);  // ESC a 1: centre
  header += kLf;
  header += Cp("BREVALUNDA - SISTEMAS DE INFORMAÇÃO LDA") + kLf;
  header += kLf + "** Portaria No. 195/2020 **" + kLf;
  header += "** Teste ao QR CODE **" + kLf;
  return header;
}

std::vector<PrintStatement> TicketStatements(const QrPrintSettings& settings,
                                             std::int16_t moduleSize) {
  return LayOutTicket(settings, moduleSize).statements;
}

TicketLayout LayOutTicket(const QrPrintSettings& settings, std::int16_t moduleSize) {
  QrBlock block;
  if (settings.symbolImage != nullptr) {
    block.bytes = settings.symbolImage(settings, moduleSize);  // throws before any byte is sent
  } else {
    const auto build = settings.woosimDialect ? QrBlockWoosim : QrBlockStandard;
    block = build(settings.dataText, moduleSize, settings.errorLevelIndex, settings.modelIndex);
  }
  TicketLayout layout;
  layout.qrBlockFailure = std::move(block.failure);
  std::vector<PrintStatement>& ticket = layout.statements;
  ticket.reserve(20);
  ticket.push_back({TicketHeader(settings)});
  ticket.push_back({std::move(block.bytes)});
  ticket.push_back({"Size :", moduleSize});
  ticket.push_back({"Model :", settings.modelIndex});
  ticket.push_back({"ErrorLevel :", settings.errorLevelIndex});
  ticket.push_back({Cp("Modo Página :"), settings.pageMode ? "Yes" : "No"});
  if (settings.pageMode) ticket.push_back({kEsc + CharFromCode(83)});  // ESC S: standard mode
  ticket.push_back({"QR CODE> " + settings.dataText + kLf});
  ticket.push_back({kRule});
  ticket.push_back({"    DESENVOLVEMOS O SEU SOFTWARE"});
  ticket.push_back({kRule});
  ticket.push_back({Cp("Email    : " + std::string(publisher::kEmail) + " ")});
  ticket.push_back({Cp("Telefone : " + std::string(publisher::kPhone) + " ")});
  ticket.push_back({Cp("Internet : " + std::string(publisher::kWeb) + ":")});
  for (int i = 0; i < 6; ++i) ticket.push_back({kLf});
  if (settings.codeTable)
    SelectCodeTable(ticket, *settings.codeTable, layout.qrBlockFailure.has_value());
  return layout;
}

}  // namespace qrticket
