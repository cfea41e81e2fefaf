// The drawer of the ticket's symbol as the program's image (GS v 0), for the print button's
// raster item. It needs the symbols room (libqrencode): a build without it has none, and that
// menu is not offered there.
#pragma once

#include "ticket/qr_print_settings.h"

namespace qrticket::ui {

// nullptr where the build has no symbols room.
SymbolImageDrawer SymbolImage();

}  // namespace qrticket::ui
