// The ticket's symbol facts handed to the rule's two checks.
#include "portaria/portaria_ticket.h"

#include "portaria/portaria_printed.h"

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
  return CheckPrinted(symbol ? BytesView(facts.data) : BytesView(text), symbol);
}

}  // namespace qrticket::portaria
