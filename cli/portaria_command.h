// qrticket --portaria, and the Portaria 195/2020 lines of --check: the ticket's invoice QR code
// judged against the rule, no device.
#pragma once

#include <iosfwd>

#include "symbols/symbol_facts.h"
#include "ticket/qr_print_settings.h"

namespace qrticket::cli {

// Exit codes of --portaria (usage errors are 2, as for every mode).
enum PortariaExitCode : int {
  kPortariaMeets = 0,  // "cumpre" or "cumpre, com avisos"
  kPortariaFails = 1,  // "não cumpre", or the text is no invoice code (said on stderr)
};

// The verdict line and one line per finding to `out`.
int RunPortaria(const QrPrintSettings& settings, int dpi, std::ostream& out, std::ostream& err);

// The same lines after --check's facts, when the text is an invoice code; nothing otherwise.
void WritePortariaLines(const QrPrintSettings& settings, const SymbolFacts& facts, int dpi,
                        std::ostream& out);

}  // namespace qrticket::cli
