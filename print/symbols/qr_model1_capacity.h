// QR Code Model 1, which libqrencode does not make: its capacity comes from the standard's
// own tables (ISO/IEC 18004:2000, the Model 1 annex).
#pragma once

#include "symbols/qr_symbol_types.h"

namespace qrticket {

// Data bytes that Model 1 version `version` (1..14) holds at `level` in 8-bit byte mode;
// 0 outside 1..14.
int Model1ByteCapacity(QrEcLevel level, int version);

}  // namespace qrticket
