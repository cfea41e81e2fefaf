// Ticket settings for the symbol tests: the data and the choices that decide the symbol, the
// rest as the settings start.
#pragma once

#include <cstdint>
#include <utility>

#include "ticket/qr_print_settings.h"

namespace qrticket::testing {

// `model` and `level` are list positions (1 Model 2, 2 Micro QR; 0 L to 3 H).
inline QrPrintSettings Settings(Bytes data, const char* size = "6", std::int16_t model = 1,
                                std::int16_t level = 1, bool woosim = false) {
  QrPrintSettings s;
  s.dataText = std::move(data);
  s.moduleSizeText = size;
  s.modelIndex = model;
  s.errorLevelIndex = level;
  s.woosimDialect = woosim;
  return s;
}

}  // namespace qrticket::testing
