// No symbols room in this build: no raster symbol (see symbol_image.h).
#include "symbol_image.h"

namespace qrticket::ui {

SymbolImageDrawer SymbolImage() { return nullptr; }

}  // namespace qrticket::ui
