// A build without the symbols room (a Windows build without libqrencode): no symbol line and
// no limits ticket; the views leave both out (see symbol_line.h).
#include "symbol_line.h"

namespace qrticket::ui {

bool HaveSymbolFacts() { return false; }

SymbolLine SymbolLineFor(const QrPrintSettings&) { return {}; }

void PrintLimitsTicket(const QrPrintSettings&, int, FailureReporter&) {}

std::optional<Bytes> LimitsTicketBytes(const QrPrintSettings&, int, FailureReporter&) {
  return std::nullopt;
}

}  // namespace qrticket::ui
