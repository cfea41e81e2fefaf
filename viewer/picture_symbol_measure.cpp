// Measuring a decoded symbol on the dots: a finder pattern is 7 modules across and down, so its
// dark edge gives the module size, and the outline divided by it the count of modules.
#include <cmath>

#include "picture_symbols.h"

namespace qrticket::viewer {
namespace {

// The run of ink from (x, y) stepping by (dx, dy), at most `limit` dots.
int InkRun(const GreyView& picture, int x, int y, int dx, int dy, int limit) {
  int run = 0;
  while (run < limit && picture.Ink(x + run * dx, y + run * dy)) ++run;
  return run;
}

// Version from the count of modules across: 21 + 4 (v - 1) for QR, 11 + 2 (v - 1) for Micro QR.
int VersionOf(int modules, bool micro) {
  if (micro) return modules >= 11 && modules <= 17 && modules % 2 == 1 ? (modules - 9) / 2 : 0;
  return modules >= 21 && modules <= 177 && (modules - 17) % 4 == 0 ? (modules - 17) / 4 : 0;
}

}  // namespace

void MeasureModules(const GreyView& picture, PictureSymbol& symbol) {
  symbol.version = 0;
  const int left = symbol.x, top = symbol.y;
  const int right = left + symbol.width - 1, bottom = top + symbol.height - 1;
  // A picture may hold the symbol turned: the finder (Micro QR has one) may be in any corner.
  struct Corner {
    int x, y, dx, dy;
  };
  const Corner corners[] = {{left, top, 1, 1}, {right, top, -1, 1}, {left, bottom, 1, -1},
                            {right, bottom, -1, -1}};
  for (const Corner& c : corners) {
    const int across = InkRun(picture, c.x, c.y, c.dx, 0, symbol.width);
    const int down = InkRun(picture, c.x, c.y, 0, c.dy, symbol.height);
    if (across == 0 || down == 0 || across >= symbol.width || down >= symbol.height) continue;
    symbol.moduleWidth = across / 7.0;
    symbol.moduleHeight = down / 7.0;
    const int modules = static_cast<int>(std::lround(symbol.width / symbol.moduleWidth));
    symbol.version = VersionOf(modules, symbol.micro);
    if (symbol.version != 0) return;
  }
}

}  // namespace qrticket::viewer
