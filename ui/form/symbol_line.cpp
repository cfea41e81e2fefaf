// The live symbol line and the limits ticket, from the symbols room (see symbol_line.h).
#include "symbol_line.h"

#include "devices/failure.h"
#include "portaria/portaria_texts.h"
#include "portaria/portaria_ticket.h"
#include "symbols/probe_job.h"
#include "symbols/probe_ticket.h"
#include "symbols/symbol_facts.h"
#include "symbols/symbol_facts_text.h"

namespace qrticket::ui {
namespace {

// A tool tip shows at most this much of what a reader would show.
constexpr std::size_t kToolTipReaderText = 120;

}  // namespace

bool HaveSymbolFacts() { return true; }

SymbolLine SymbolLineFor(const QrPrintSettings& settings, int dpi) {
  const SymbolFacts facts = SymbolFactsFor(settings);
  SymbolLine line{SymbolFactsLine(facts), SymbolFactsReport(facts, kToolTipReaderText)};
  if (const auto findings = portaria::CheckTicket(settings.dataText, facts, dpi)) {
    line.text += "\nPortaria: " + portaria::VerdictWords(portaria::VerdictOf(*findings));
    line.toolTip += "\n" + portaria::PortariaReport(*findings) + "\n" +
                    portaria::DensityLine(dpi);
  }
  return line;
}

std::string WhyPrintedWithoutSymbol(const QrPrintSettings& settings, const JobResult& result) {
  if (result.status == JobResult::Status::Failed) return {};
  return WhyDeliveredWithoutSymbol(SymbolFactsFor(settings));
}

void PrintLimitsTicket(const QrPrintSettings& settings, int paperDots, FailureReporter& reporter) {
  PrintProbe(settings, paperDots, reporter);
}

std::optional<Bytes> LimitsTicketBytes(const QrPrintSettings& settings, int paperDots,
                                       FailureReporter& reporter) {
  try {
    return ProbeTicketBytes(settings, paperDots);
  } catch (const PrintFailure& failure) {
    reporter.ShowFailure(kFailurePrefix + failure.description());
    return std::nullopt;
  }
}

}  // namespace qrticket::ui
