// qrticket --check (the symbol facts, no device) and --probe (the limits ticket): their options
// and how each runs. The ordinary ticket's options and parsing stay in cli_options.
#pragma once

#include <CLI/CLI.hpp>

#include <iosfwd>
#include <optional>
#include <string>

#include "devices/output_device.h"
#include "ticket/qr_print_settings.h"

namespace qrticket::cli {

// Exit codes of --check (usage errors are 2, as for every mode).
enum CheckExitCode : int {
  kCheckPrints = 0,     // a symbol exists and fits 80 mm paper
  kCheckDoesNotPrint = 1,  // no symbol, or wider than 80 mm paper; the reason went to stderr
};

struct SymbolModeOptions {
  bool check = false;
  bool portaria = false;         // --portaria: the invoice QR code against Portaria 195/2020
  int dpi = 203;                 // the printer's density for --check and --portaria
  std::string dpiText = "203";   // --dpi as typed; Dpi() reads it
  bool probe = false;
  int paperMm = 80;             // the limits ticket's paper: 80 or 58
  std::string paperText = "80";  // --paper as typed; PaperMm() reads it
  bool raster = false;           // --raster: the ticket's symbol as the program's image
};

// Adds --check, --portaria, --dpi, --probe, --paper and --raster to `app`, whose --device
// option already exists: --check refuses a device. The modes exclude --status, --check-status
// and --list-devices when `app` has them; --raster excludes the modes that print no QR test
// ticket.
void AddSymbolModeOptions(CLI::App& app, SymbolModeOptions& options);

// What --raster puts in the settings: the drawer of the ticket's symbol as an image; nullptr
// where the build has none (and no --raster).
SymbolImageDrawer RasterDrawer();

// --dpi: 180, 203 or 300 (decimal, as every number); nullopt for anything else.
std::optional<int> Dpi(const std::string& text);

// --paper in millimetres, 58 or 80 (decimal, as every number); nullopt for anything else.
std::optional<int> PaperMm(const std::string& text);

// Runs --check, --portaria or --probe when one was asked for and returns its exit code; nullopt when the
// command line asked for the ordinary ticket. Facts go to `out`, failures to `err`.
std::optional<int> RunSymbolMode(const SymbolModeOptions& modes, const QrPrintSettings& settings,
                                 const ChannelOptions& channel, std::ostream& out,
                                 std::ostream& err);

// What the operator is told about a ticket the device took, from the symbol facts. Both empty
// where the build has none (symbol_modes_absent.cpp).
struct TicketNotices {
  std::string ignoredSettings;  // what the printer ignores and uses instead, '\n' between lines
  std::string noSymbol;         // why the printer draws no symbol; empty when it draws one
};
TicketNotices NoticesFor(const QrPrintSettings& settings);

}  // namespace qrticket::cli
