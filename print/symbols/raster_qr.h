// A QR symbol drawn by us and sent as a raster bit image (GS v 0), for printers whose own QR
// command fails: the same symbol as dots, which any ESC/POS printer prints.
#pragma once

#include "devices/bytes.h"
#include "symbols/qr_encoder.h"

namespace qrticket {

// GS v 0, m = 0 (normal size): 1D 76 30 00 xL xH yL yH, then the rows, top first, each
// ceil(width / 8) bytes, most significant bit leftmost, 1 black. Each module is `moduleSize`
// dots square; no quiet zone, as the printers draw their own symbols.
Bytes RasterQrCommand(const QrGrid& grid, int moduleSize);

}  // namespace qrticket
