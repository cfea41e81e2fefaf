// QR symbols as the printer would draw them, made with libqrencode.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "bytes.h"

namespace qrticket::viewer {

enum class QrLevel { L, M, Q, H };
enum class QrKind { Model2, Micro };

struct QrRequest {
  BytesView data;
  QrKind kind = QrKind::Model2;
  QrLevel level = QrLevel::L;
  int version = 0;  // 0: the smallest that holds the data; otherwise exactly this version
};

// The module grid of one symbol, without quiet zone: `dark[row * modules + column]`.
struct QrSymbol {
  bool micro = false;
  int version = 0;  // 1..40, or 1..4 for Micro QR (M1..M4)
  int modules = 0;  // width and height in modules
  std::vector<std::uint8_t> dark;
};

// The data is encoded whole in 8-bit byte mode, so every byte value (NUL included) survives.
// nullopt when the data is empty or does not fit the kind, level and version asked for.
std::optional<QrSymbol> EncodeQrSymbol(const QrRequest& request);

char LevelLetter(QrLevel level);

}  // namespace qrticket::viewer
