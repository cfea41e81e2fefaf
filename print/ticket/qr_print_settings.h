// What one ticket is made from, as the operator set it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "devices/bytes.h"

namespace qrticket {

struct QrPrintSettings;

// Draws the ticket's symbol as an image (GS v 0) in place of the printer's own QR commands, for
// a printer whose QR command fails. Drawing needs libqrencode, which only the symbols room
// links, so a front end that offers the image hands its drawer to the job through the settings.
// Given the settings and the converted module size, it returns the image's command bytes, or
// throws PrintFailure when it cannot draw one, before anything is sent.
using SymbolImageDrawer = Bytes (*)(const QrPrintSettings& settings, std::int16_t moduleSize);

struct QrPrintSettings {
  Bytes dataText;              // Windows-1252 bytes, encoded into the QR symbol and echoed
  std::string deviceName;      // as typed, spaces included; the platform's own name (UTF-8)
  std::string moduleSizeText;  // converted by the job (see ConvertModuleSize)
  std::int16_t modelIndex = 1;       // 0 model 1, 1 model 2, 2 Micro QR, -1 none chosen
  std::int16_t errorLevelIndex = 1;  // 0 L, 1 M, 2 Q, 3 H, -1 none chosen
  bool pageMode = false;
  bool centred = false;
  bool woosimDialect = false;
  // ESC t n after ESC @, and the printed text in that code table; none: no ESC t, and the
  // text in Windows-1252 as always.
  std::optional<int> codeTable = std::nullopt;
  // Set: the ticket carries this drawer's image of the symbol instead of the QR commands; the
  // rest of the ticket stays byte for byte as without it.
  SymbolImageDrawer symbolImage = nullptr;
};

}  // namespace qrticket
