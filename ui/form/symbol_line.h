// The live line under the character count: what the printer will draw for the window's values
// (version, modules, width, whether it fits 80 and 58 mm paper, or why there is no symbol, and
// what a phone will read), and its long form for the tool tip.
#pragma once

#include <string>

#include "ticket/qr_print_settings.h"

namespace qrticket::ui {

struct SymbolLine {
  std::string text;     // a few short lines, '\n' between them
  std::string toolTip;  // every fact, one a line
};

SymbolLine SymbolLineFor(const QrPrintSettings& settings);

}  // namespace qrticket::ui
