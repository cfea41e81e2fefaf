// The one-dimensional bar codes of GS k: which systems exist, what data each takes, and the
// bars zint makes of it, widened as GS w says.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "devices/bytes.h"

namespace qrticket::viewer {

struct BarcodeBars {
  std::string system;      // "CODE128", "EAN13"...
  std::vector<int> widths; // dots: bar, space, bar... starting and ending with a bar
  int width = 0;           // their sum
  std::string readable;    // the human-readable interpretation (HRI), bytes of the font
};

// GS k m's bars at module width `moduleWidth` (GS w, 2..6). nullopt when the printer prints
// nothing: `why` says why (an unknown m, data outside the system's characters or lengths).
std::optional<BarcodeBars> MakeBarcode(std::uint8_t m, BytesView data, int moduleWidth,
                                       std::string& why);

// The system's name for m, or "" when m names none.
std::string BarcodeSystemName(std::uint8_t m);

}  // namespace qrticket::viewer
