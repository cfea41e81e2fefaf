// The message and the symbol's checks, in the order the report lists them.
#include "portaria/portaria_printed.h"

#include "portaria/portaria_check.h"

namespace qrticket::portaria {

std::optional<Findings> CheckPrinted(std::string_view data,
                                     const std::optional<PrintedSymbol>& symbol) {
  if (!IsInvoiceCode(data)) return std::nullopt;
  Findings findings = CheckMessage(data);
  if (!symbol) {
    findings.push_back({"Símbolo", Point::kNoSymbol, Weight::kFails, {}, 0, 0});
    return findings;
  }
  for (Finding& f : CheckSymbol(*symbol)) findings.push_back(std::move(f));
  return findings;
}

}  // namespace qrticket::portaria
