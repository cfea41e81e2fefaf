// --check, --probe and --raster where the core was built without its symbol facts
// (libqrencode), as a Windows build with QRTICKET_WINDOWS_LIBRARIES=OFF is: the options are left
// out, so the help does not offer them and a command line that uses them is a usage error.
#include "symbol_modes.h"

namespace qrticket::cli {

void AddSymbolModeOptions(CLI::App&, SymbolModeOptions&) {}

// Without --raster the ticket carries the printer's QR commands.
SymbolImageDrawer RasterDrawer() { return nullptr; }

// Without --dpi only its default comes here.
std::optional<int> Dpi(const std::string& text) {
  if (text == "203") return 203;
  return std::nullopt;
}

// Without --paper only its default comes here.
std::optional<int> PaperMm(const std::string& text) {
  if (text == "80") return 80;
  if (text == "58") return 58;
  return std::nullopt;
}

TicketNotices NoticesFor(const QrPrintSettings&) { return {}; }

std::optional<int> RunSymbolMode(const SymbolModeOptions&, const QrPrintSettings&,
                                 const ChannelOptions&, std::ostream&, std::ostream&) {
  return std::nullopt;
}

}  // namespace qrticket::cli
