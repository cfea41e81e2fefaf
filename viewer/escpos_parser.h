// The ESC/POS stream parser: bytes in, events out. Never fails: unknown commands become
// Skipped events and a command cut short by the end of the stream becomes Truncated.
#pragma once

#include <vector>

#include "bytes.h"
#include "escpos_events.h"

namespace qrticket::viewer {

// Events point into `stream`, which must outlive them.
std::vector<Event> ParseEscPos(BytesView stream);

// "ESC a", "GS ( k", "ESC 0x0C": how the report names a command.
std::string CommandName(std::string_view prefix, unsigned char code);

}  // namespace qrticket::viewer
