// A build without the symbols room (a Windows build without libqrencode): no symbol line and
// no limits ticket; the views leave both out (see symbol_line.h).
#include "symbol_line.h"

namespace qrticket::ui {

bool HaveSymbolFacts() { return false; }

SymbolLine SymbolLineFor(const QrPrintSettings&, int) { return {}; }

std::string WhyPrintedWithoutSymbol(const QrPrintSettings&, const JobResult& result) {
  if (result.status != JobResult::Status::DeliveredWithoutSymbol) return {};
  return "o talão imprime a falha \"" + result.qrBlockFailure.value_or("") + "\" em vez do código";
}

void PrintLimitsTicket(const QrPrintSettings&, int, FailureReporter&) {}

std::optional<Bytes> LimitsTicketBytes(const QrPrintSettings&, int, FailureReporter&) {
  return std::nullopt;
}

}  // namespace qrticket::ui
