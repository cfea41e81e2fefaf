// The live line under the character count: what the printer will draw for the window's values
// (version, modules, width, whether it fits 80 and 58 mm paper, or why there is no symbol, and
// what a phone will read), its long form for the tool tip, and the limits ticket. These need
// the symbols room (libqrencode); a build without it has neither line nor limits ticket.
#pragma once

#include <optional>
#include <string>

#include "devices/bytes.h"
#include "portaria/portaria_symbol.h"
#include "ticket/qr_print_settings.h"
#include "ticket/ticket_job.h"

namespace qrticket::ui {

// Whether this build knows what the printer will draw.
bool HaveSymbolFacts();

struct SymbolLine {
  std::string text;     // a few short lines, '\n' between them
  std::string toolTip;  // every fact, one a line
};

// Both empty where HaveSymbolFacts() is false. For an invoice code (text beginning with "A:")
// the line ends with the Portaria 195/2020 verdict and the tool tip lists its findings, the
// width measured at `dpi`.
SymbolLine SymbolLineFor(const QrPrintSettings& settings, int dpi = portaria::kDefaultDpi);

// Why the ticket the device took with `settings` (the job ended with `result`) carries no
// symbol, as a capitalised clause for the box the print shows afterwards; empty when the
// printer draws one or the job failed. Where HaveSymbolFacts() is false, only the builder's
// failure is known.
std::string WhyPrintedWithoutSymbol(const QrPrintSettings& settings, const JobResult& result);

// Prints the limits ticket as PrintProbe does. Only where HaveSymbolFacts() is true.
void PrintLimitsTicket(const QrPrintSettings& settings, int paperDots, FailureReporter& reporter);

// The limits ticket's bytes for "VISUALIZAR:"; settings that give none reach `reporter` as a
// print's failure would, and give nullopt (always, where HaveSymbolFacts() is false).
std::optional<Bytes> LimitsTicketBytes(const QrPrintSettings& settings, int paperDots,
                                       FailureReporter& reporter);

}  // namespace qrticket::ui
