// zint settings for each two-dimensional code.
#include "matrix_symbols.h"

#include <zint.h>

#include <algorithm>
#include <cstring>

namespace qrticket::viewer {
namespace {

// zint's option_2 numbers for DataMatrix sizes, rows x columns.
struct DataMatrixSize {
  int rows, columns, zint;
};
constexpr DataMatrixSize kDataMatrixSizes[] = {
    {10, 10, 1},   {12, 12, 2},   {14, 14, 3},   {16, 16, 4},   {18, 18, 5},   {20, 20, 6},
    {22, 22, 7},   {24, 24, 8},   {26, 26, 9},   {32, 32, 10},  {36, 36, 11},  {40, 40, 12},
    {44, 44, 13},  {48, 48, 14},  {52, 52, 15},  {64, 64, 16},  {72, 72, 17},  {80, 80, 18},
    {88, 88, 19},  {96, 96, 20},  {104, 104, 21}, {120, 120, 22}, {132, 132, 23},
    {144, 144, 24}, {8, 18, 25},  {8, 32, 26},   {12, 26, 27},  {12, 36, 28},  {16, 36, 29},
    {16, 48, 30}};

std::optional<ModuleGrid> Modules(ZintSymbol& symbol, BytesView data, std::string& why) {
  if (!symbol.Encode(data, why)) return std::nullopt;
  return symbol.Modules();
}

}  // namespace

bool IsDataMatrixSize(bool rectangle, int rows, int columns) {
  for (const auto& s : kDataMatrixSizes) {
    if (s.rows == rows && s.columns == columns) return (s.rows != s.columns) == rectangle;
  }
  return false;
}

std::optional<ModuleGrid> EncodePdf417(BytesView data, const Pdf417Settings& s,
                                       std::string& why) {
  ZintSymbol symbol(s.truncated ? BARCODE_PDF417COMP : BARCODE_PDF417);
  auto& z = symbol.get();
  if (s.columns > 0) z.option_2 = s.columns;
  if (s.rows > 0) z.option_3 = s.rows;
  if (s.levelByRatio) {
    // Error correction codewords of at least ratio x 10 % of the data: the lowest level
    // (2^(level+1) codewords) that gives that many, counting one codeword per data byte.
    const std::size_t wanted = (data.size() * static_cast<std::size_t>(s.level) + 9) / 10;
    int level = 0;
    while (level < 8 && (std::size_t{2} << level) < wanted) ++level;
    z.option_1 = level;
  } else {
    z.option_1 = s.level;
  }
  return Modules(symbol, data, why);
}

std::optional<ModuleGrid> EncodeDataMatrix(BytesView data, const DataMatrixSettings& s,
                                           std::string& why) {
  ZintSymbol symbol(BARCODE_DATAMATRIX);
  auto& z = symbol.get();
  if (s.rows > 0) {
    for (const auto& size : kDataMatrixSizes) {
      if (size.rows == s.rows && size.columns == s.columns) z.option_2 = size.zint;
    }
  } else if (!s.rectangle) {
    z.option_3 = DM_SQUARE;
  }
  auto grid = Modules(symbol, data, why);
  // Asked for a rectangle of automatic size, zint may still find a square the smallest.
  return grid;
}

std::optional<ModuleGrid> EncodeAztec(BytesView data, const AztecSettings& s, std::string& why) {
  ZintSymbol symbol(BARCODE_AZTEC);
  auto& z = symbol.get();
  // zint's levels: 10 %, 23 %, 36 % and 50 % of the symbol for error correction.
  z.option_1 = s.correction <= 10 ? 1 : s.correction <= 23 ? 2 : s.correction <= 36 ? 3 : 4;
  if (s.layers > 0) z.option_2 = s.compact ? s.layers : s.layers + 4;
  return Modules(symbol, data, why);
}

std::optional<ModuleGrid> EncodeMaxiCode(BytesView data, int mode, std::string& why) {
  ZintSymbol symbol(BARCODE_MAXICODE);
  auto& z = symbol.get();
  z.option_1 = mode;
  Bytes secondary(data);
  if (mode == 2 || mode == 3) {
    const std::size_t primary = std::min<std::size_t>(15, data.size());
    std::memcpy(z.primary, data.data(), primary);
    z.primary[primary] = '\0';
    secondary = Bytes(data.substr(primary));
  }
  // 0.7 draws the symbol 209 x 199 dots, close to its standard 28 x 27 mm at 203 dpi.
  if (!symbol.EncodeAndDraw(secondary, 0.7f, why)) return std::nullopt;
  return symbol.Raster();
}

}  // namespace qrticket::viewer
