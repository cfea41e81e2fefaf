// zint (libzint) wrapped: encode bytes into a symbol and read its modules back, never its
// pictures: the printer's own settings decide how big each module is.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "devices/bytes.h"

struct zint_symbol;

namespace qrticket::viewer {

// The modules of an encoded symbol, row after row: dark[row * columns + column] is 1 when
// the module is dark.
struct ModuleGrid {
  int rows = 0;
  int columns = 0;
  std::vector<std::uint8_t> dark;

  bool At(int row, int column) const {
    return dark[static_cast<std::size_t>(row) * columns + column] != 0;
  }
};

class ZintSymbol {
 public:
  // `symbology` is one of zint's BARCODE_ numbers.
  explicit ZintSymbol(int symbology);
  ~ZintSymbol();
  ZintSymbol(const ZintSymbol&) = delete;
  ZintSymbol& operator=(const ZintSymbol&) = delete;

  zint_symbol& get() { return *symbol_; }

  // Encodes `data` as given (binary input). False with zint's own explanation in `why`.
  bool Encode(BytesView data, std::string& why);
  // Encodes and draws zint's own raster at `scale` (for MaxiCode's hexagons); false as above.
  bool EncodeAndDraw(BytesView data, float scale, std::string& why);

  // The modules of the encoded symbol.
  ModuleGrid Modules() const;
  // zint's raster as a grid of dots (after EncodeAndDraw).
  ModuleGrid Raster() const;
  // The human-readable text zint made for it (UTF-8), such as an EAN's check digit added.
  std::string Text() const;

 private:
  zint_symbol* symbol_;
};

}  // namespace qrticket::viewer
