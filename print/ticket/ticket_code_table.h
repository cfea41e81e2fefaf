// The ticket for a printer at another code table: ESC t n right after ESC @, and every printed
// text in that table. The QR data goes to the printer's QR encoder, not to the paper, so its
// bytes stay as they are.
#pragma once

#include <vector>

#include "devices/print_item.h"

namespace qrticket {

// Rewrites `statements` (as LayOutTicket makes them: the header first, the QR block second)
// for code table `table` (0..255, Epson's numbering). The QR block is left alone unless
// `qrBlockIsText` (the builder's failure printed in its place). A table the tool does not know
// is still selected, and the text stays in Windows-1252.
void SelectCodeTable(std::vector<PrintStatement>& statements, int table, bool qrBlockIsText);

}  // namespace qrticket
