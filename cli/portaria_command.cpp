#include "portaria_command.h"

#include <ostream>

#include "portaria/portaria_texts.h"
#include "portaria/portaria_ticket.h"

namespace qrticket::cli {

int RunPortaria(const QrPrintSettings& settings, int dpi, std::ostream& out, std::ostream& err) {
  const auto findings = portaria::CheckTicket(settings.dataText, SymbolFactsFor(settings), dpi);
  if (!findings) {
    err << "qrticket: o texto não começa por \"A:\": não é o código QR de uma fatura\n";
    return kPortariaFails;
  }
  out << portaria::PortariaReport(*findings) << '\n';
  return portaria::VerdictOf(*findings) == portaria::Verdict::kFails ? kPortariaFails
                                                                     : kPortariaMeets;
}

void WritePortariaLines(const QrPrintSettings& settings, const SymbolFacts& facts, int dpi,
                        std::ostream& out) {
  if (const auto findings = portaria::CheckTicket(settings.dataText, facts, dpi))
    out << portaria::PortariaReport(*findings) << '\n';
}

}  // namespace qrticket::cli
