#include "symbols/raster_qr.h"

#include <algorithm>

namespace qrticket {

Bytes RasterQrCommand(const QrGrid& grid, int moduleSize) {
  const int dots = grid.modules * moduleSize;
  const int rowBytes = (dots + 7) / 8;
  Bytes command = "\x1D\x76\x30";
  command += '\0';
  command += static_cast<char>(rowBytes % 256);
  command += static_cast<char>(rowBytes / 256);
  command += static_cast<char>(dots % 256);
  command += static_cast<char>(dots / 256);

  Bytes row(static_cast<std::size_t>(rowBytes), '\0');
  command.reserve(command.size() + row.size() * dots);
  for (int moduleRow = 0; moduleRow < grid.modules; ++moduleRow) {
    std::fill(row.begin(), row.end(), '\0');
    for (int x = 0; x < dots; ++x) {
      if (grid.Dark(moduleRow, x / moduleSize))
        row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
    }
    for (int repeat = 0; repeat < moduleSize; ++repeat) command += row;
  }
  return command;
}

}  // namespace qrticket
