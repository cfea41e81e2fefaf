// Builders of the printer's own QR commands. The printer draws the symbol; we only send it the
// data and parameters. Both builders are pure and never throw: on failure they return the
// failure's description (Windows-1252) in place of the command block, and it gets printed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "devices/bytes.h"

namespace qrticket {

// The largest data text that fits the 16-bit length field (data + 3 bytes of cn, fn, m).
inline constexpr int kMaxDataLength = 32764;

// ESC/POS GS ( k, cn = 0x31: select model, module size, error level, store data, print.
// `errorLevelIndex` 0..3 means L, M, Q, H; `modelIndex` 0..2 means model 1, model 2, Micro QR.
Bytes QrCommandsStandard(const Bytes& dataText, std::int16_t moduleSize,
                         std::int16_t errorLevelIndex, std::int16_t modelIndex);

// ESC Z of the woosim dialect: only the data is read, the other arguments are ignored.
Bytes QrCommandsWoosim(const Bytes& dataText, std::int16_t moduleSize,
                       std::int16_t errorLevelIndex, std::int16_t modelIndex);

// What a builder returned, and whether it is a failure description instead of commands: the
// bytes are the same as the builders above return; `failure` (UTF-8) lets a caller tell the
// operator that the ticket carries no symbol.
struct QrBlock {
  Bytes bytes;
  std::optional<std::string> failure;
};
QrBlock QrBlockStandard(const Bytes& dataText, std::int16_t moduleSize,
                        std::int16_t errorLevelIndex, std::int16_t modelIndex);
QrBlock QrBlockWoosim(const Bytes& dataText, std::int16_t moduleSize,
                      std::int16_t errorLevelIndex, std::int16_t modelIndex);

}  // namespace qrticket
