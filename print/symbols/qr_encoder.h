// QR symbols made with libqrencode, in 8-bit byte mode, module for module as a printer's own QR
// command draws them (no quiet zone).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "devices/bytes.h"
#include "symbols/qr_symbol_types.h"

namespace qrticket {

struct QrGrid {
  QrModel model = QrModel::Model2;
  int version = 0;  // 1..40, or 1..4 for Micro QR (M1..M4)
  int modules = 0;  // width and height
  std::vector<std::uint8_t> dark;  // modules * modules, row by row; 1 is a dark module

  bool Dark(int row, int column) const { return dark[row * modules + column] != 0; }
};

// The smallest symbol of `model` at `level` that holds `data` whole, or exactly `version`
// when it is not 0. The data is encoded in byte mode whatever it holds, so every byte value
// (NUL included) survives and the size depends on the length only. nullopt for empty data, for
// data the symbol cannot hold, for level H of Micro QR and for Model 1, which libqrencode does
// not make.
std::optional<QrGrid> EncodeQr(BytesView data, QrModel model, QrEcLevel level, int version = 0);

// The smallest Model 2 symbol at `level` that holds `data` whole and is at least
// `minimumVersion` (1..40): a symbol drawn for a rule that asks for a minimum version. nullopt
// for empty data and for data no version holds.
std::optional<QrGrid> EncodeQrFromVersion(BytesView data, QrEcLevel level, int minimumVersion);

}  // namespace qrticket
