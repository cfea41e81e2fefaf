// libzint calls: one symbol per object, deleted with it.
#include "zint_symbol.h"

#include <zint.h>

#include <new>

namespace qrticket::viewer {

ZintSymbol::ZintSymbol(int symbology) : symbol_(ZBarcode_Create()) {
  if (symbol_ == nullptr) throw std::bad_alloc();
  symbol_->symbology = symbology;
  symbol_->input_mode = DATA_MODE;
  symbol_->show_hrt = 1;
  symbol_->output_options = BARCODE_NO_QUIET_ZONES;
}

ZintSymbol::~ZintSymbol() { ZBarcode_Delete(symbol_); }

bool ZintSymbol::Encode(BytesView data, std::string& why) {
  const int result = ZBarcode_Encode(symbol_, reinterpret_cast<const unsigned char*>(data.data()),
                                     static_cast<int>(data.size()));
  if (result >= ZINT_ERROR) {
    why = symbol_->errtxt;
    return false;
  }
  return true;
}

bool ZintSymbol::EncodeAndDraw(BytesView data, float scale, std::string& why) {
  symbol_->scale = scale;
  const int result = ZBarcode_Encode_and_Buffer(
      symbol_, reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()),
      0);
  if (result >= ZINT_ERROR) {
    why = symbol_->errtxt;
    return false;
  }
  return true;
}

ModuleGrid ZintSymbol::Modules() const {
  ModuleGrid grid;
  grid.rows = symbol_->rows;
  grid.columns = symbol_->width;
  grid.dark.reserve(static_cast<std::size_t>(grid.rows) * grid.columns);
  for (int row = 0; row < grid.rows; ++row) {
    for (int col = 0; col < grid.columns; ++col) {
      grid.dark.push_back((symbol_->encoded_data[row][col >> 3] >> (col & 7)) & 1);
    }
  }
  return grid;
}

ModuleGrid ZintSymbol::Raster() const {
  ModuleGrid grid;
  grid.rows = symbol_->bitmap_height;
  grid.columns = symbol_->bitmap_width;
  const std::size_t dots = static_cast<std::size_t>(grid.rows) * grid.columns;
  grid.dark.reserve(dots);
  // zint draws RGB, dark on light.
  for (std::size_t i = 0; i < dots; ++i) grid.dark.push_back(symbol_->bitmap[i * 3] < 128);
  return grid;
}

std::string ZintSymbol::Text() const { return reinterpret_cast<const char*>(symbol_->text); }

}  // namespace qrticket::viewer
