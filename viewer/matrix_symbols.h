// The two-dimensional codes of GS ( k other than QR Code, encoded with zint: PDF417,
// DataMatrix (ECC 200), MaxiCode and Aztec Code, each with the settings the printer holds.
#pragma once

#include <optional>
#include <string>

#include "devices/bytes.h"
#include "zint_symbol.h"

namespace qrticket::viewer {

struct Pdf417Settings {
  int columns = 0;      // data columns, 0 automatic (fn 65)
  int rows = 0;         // 0 automatic, else 3..90 (fn 66)
  int moduleWidth = 3;  // dots (fn 67)
  int rowHeight = 3;    // times the module width (fn 68)
  bool levelByRatio = true;  // fn 69 m = 49: level from a ratio of the data; m = 48: a level
  int level = 1;        // the ratio in tens of percent (1..40), or the level (0..8)
  bool truncated = false;  // fn 70
};

struct DataMatrixSettings {
  bool rectangle = false;  // fn 66 m
  int rows = 0, columns = 0;  // 0: the smallest that holds the data
  int moduleSize = 3;      // dots (fn 67)
};

struct AztecSettings {
  bool compact = false;  // fn 50 n1
  int layers = 0;        // 0: the fewest that hold the data
  int moduleSize = 3;    // dots (fn 51)
  int correction = 23;   // percent (fn 53)
};

// The module grid, or nullopt with zint's reason in `why`.
std::optional<ModuleGrid> EncodePdf417(BytesView data, const Pdf417Settings& s, std::string& why);
std::optional<ModuleGrid> EncodeDataMatrix(BytesView data, const DataMatrixSettings& s,
                                           std::string& why);
std::optional<ModuleGrid> EncodeAztec(BytesView data, const AztecSettings& s, std::string& why);

// MaxiCode is made of hexagons at a fixed size (about 26 mm): this is zint's drawing of it,
// one grid cell per paper dot. Modes 2 and 3 take the first 15 bytes as the structured
// carrier message (postcode, country, service).
std::optional<ModuleGrid> EncodeMaxiCode(BytesView data, int mode, std::string& why);

// DataMatrix ECC 200 sizes, rows x columns: true when the printer documents the size.
bool IsDataMatrixSize(bool rectangle, int rows, int columns);

}  // namespace qrticket::viewer
