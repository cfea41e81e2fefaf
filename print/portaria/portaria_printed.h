// A printed invoice QR code against Portaria 195/2020: the bytes its symbol holds and the symbol
// as drawn, from whoever knows them (the ticket's symbol facts, the virtual printer's drawing).
#pragma once

#include <optional>
#include <string_view>

#include "portaria/portaria_finding.h"
#include "portaria/portaria_symbol.h"

namespace qrticket::portaria {

// The message's findings, then the symbol's ("Símbolo: ..."); without a symbol, one finding
// says the printer draws none. nullopt unless `data` is an invoice code (begins with "A:").
std::optional<Findings> CheckPrinted(std::string_view data,
                                     const std::optional<PrintedSymbol>& symbol);

}  // namespace qrticket::portaria
