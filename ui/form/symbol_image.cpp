// The raster symbol's drawer from the symbols room (see symbol_image.h).
#include "symbol_image.h"

#include "symbols/raster_ticket_symbol.h"

namespace qrticket::ui {

SymbolImageDrawer SymbolImage() { return &DrawTicketSymbol; }

}  // namespace qrticket::ui
