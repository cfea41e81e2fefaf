// The QR test ticket's symbol drawn by the program (the raster choice): a GS v 0 image in place
// of the printer's QR commands, for printers without GS ( k (many older models print the
// command's bytes as text). The image holds the same text, Model 2 in byte mode at the chosen
// level, version 9 or more as the Portuguese invoice QR rule asks, each module `moduleSize`
// dots square, and no quiet zone, as the printers draw their own symbols.
#pragma once

#include <cstdint>
#include <optional>

#include "devices/bytes.h"
#include "symbols/qr_encoder.h"
#include "symbols/symbol_facts.h"
#include "ticket/qr_print_settings.h"

namespace qrticket {

// Fills in the facts of the image for `settings` at `moduleSize` dots per module (the data
// already in facts.data), and returns its modules; nullopt when there is no image, with
// facts.noSymbol saying why.
std::optional<QrGrid> AddRasterSymbol(SymbolFacts& facts, const QrPrintSettings& settings,
                                      std::int16_t moduleSize);

// The image's GS v 0 command (a SymbolImageDrawer): padded so that ESC a 1 centres the symbol
// itself when the ticket is centred. Throws PrintFailure when there is no image (Micro QR, no
// level, a size below 1, no data, too long) or it is wider than 80 mm paper.
Bytes DrawTicketSymbol(const QrPrintSettings& settings, std::int16_t moduleSize);

}  // namespace qrticket
