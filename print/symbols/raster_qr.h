// A QR symbol drawn by us and sent as a raster bit image (GS v 0), for printers whose own QR
// command fails: the same symbol as dots, which any ESC/POS printer prints.
#pragma once

#include "devices/bytes.h"
#include "symbols/qr_encoder.h"

namespace qrticket {

// GS v 0, m = 0 (normal size): 1D 76 30 00 xL xH yL yH, then the rows, top first, each
// ceil(width / 8) bytes, most significant bit leftmost, 1 black. Each module is `moduleSize`
// dots square; no quiet zone, as the printers draw their own symbols. `leftDots` white dots go
// before the symbol on every row (the width counts them); the row's last byte is filled with
// white after it.
Bytes RasterQrCommand(const QrGrid& grid, int moduleSize, int leftDots = 0);

// The white dots before a symbol `dots` wide that split the last byte's padding evenly, so that
// an image centred by ESC a 1 puts the symbol where the printer centres its own.
int CentringDots(int dots);

}  // namespace qrticket
