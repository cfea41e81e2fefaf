// The ticket's symbol facts handed to the rule's two checks.
#include "portaria/portaria_ticket.h"

#include "portaria/portaria_check.h"

namespace qrticket::portaria {

std::optional<PrintedSymbol> PrintedSymbolOf(const SymbolFacts& facts, int dpi) {
  if (!facts.hasSymbol() || !facts.level || !facts.model) return std::nullopt;
  PrintedSymbol symbol;
  symbol.level = LevelLetter(*facts.level);
  symbol.version = facts.size.version;
  symbol.micro = *facts.model == QrModel::Micro;
  symbol.widthDots = facts.dots;
  symbol.dpi = dpi;
  return symbol;
}

std::optional<Findings> CheckTicket(const Bytes& text, const SymbolFacts& facts, int dpi) {
  if (!IsInvoiceCode(text)) return std::nullopt;
  const auto symbol = PrintedSymbolOf(facts, dpi);
  Findings findings = CheckMessage(symbol ? BytesView(facts.data) : BytesView(text));
  if (!symbol) {
    findings.push_back({"Símbolo", Point::kNoSymbol, Weight::kFails, {}, 0, 0});
    return findings;
  }
  for (Finding& f : CheckSymbol(*symbol)) findings.push_back(std::move(f));
  return findings;
}

}  // namespace qrticket::portaria
