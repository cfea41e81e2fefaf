#include "symbols/raster_qr.h"

#include <algorithm>

namespace qrticket {

int CentringDots(int dots) { return ((dots + 7) / 8 * 8 - dots) / 2; }

Bytes RasterQrCommand(const QrGrid& grid, int moduleSize, int leftDots) {
  const int dots = grid.modules * moduleSize;
  const int rowBytes = (leftDots + dots + 7) / 8;
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
      if (!grid.Dark(moduleRow, x / moduleSize)) continue;
      const int at = leftDots + x;
      row[at / 8] = static_cast<char>(row[at / 8] | (0x80 >> (at % 8)));
    }
    for (int repeat = 0; repeat < moduleSize; ++repeat) command += row;
  }
  return command;
}

}  // namespace qrticket
