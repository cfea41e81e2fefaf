// How many data bytes a QR symbol holds in byte mode, and the symbol a printer picks for a
// given length. Model 2 and Micro QR are asked of libqrencode, so they agree with what the
// virtual printer draws; Model 1 comes from its own table (qr_model1_capacity.h).
#pragma once

#include <cstddef>
#include <optional>

#include "devices/bytes.h"
#include "symbols/qr_symbol_types.h"

namespace qrticket {

struct QrSize {
  int version = 0;
  int modules = 0;
};

// Data bytes that `version` of `model` holds at `level`. 0 where no data byte fits: Micro QR
// M1 and M2 (no byte mode), level H of Micro QR, level Q below M4, or a version out of range.
int ByteCapacity(QrModel model, QrEcLevel level, int version);

// The most data bytes any version of `model` holds at `level` (2953 for Model 2 at level L).
int MaxByteCapacity(QrModel model, QrEcLevel level);

// The smallest symbol that holds `data` (the version a printer choosing automatically draws),
// or nullopt when the data is empty or longer than MaxByteCapacity.
std::optional<QrSize> SmallestSymbol(BytesView data, QrModel model, QrEcLevel level);

}  // namespace qrticket
