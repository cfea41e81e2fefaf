// A ticket's QR code against Portaria 195/2020, from what the core knows before printing: the
// bytes the symbol holds and the symbol facts, at the printer's density.
#pragma once

#include <optional>

#include "portaria/portaria_finding.h"
#include "portaria/portaria_symbol.h"
#include "symbols/symbol_facts.h"

namespace qrticket::portaria {

// The symbol facts as the rule measures them, at `dpi`; nullopt when there is no symbol.
std::optional<PrintedSymbol> PrintedSymbolOf(const SymbolFacts& facts, int dpi);

// The message's findings, then the symbol's ("Símbolo: ..."); when no symbol comes out, one
// finding says so. Judged only for an invoice code (text beginning with "A:"): nullopt for
// any other text. The message judged is what the symbol holds (ESC Z takes three bytes more).
std::optional<Findings> CheckTicket(const Bytes& text, const SymbolFacts& facts, int dpi);

}  // namespace qrticket::portaria
