// The cost of one change in the window, as far as the symbol facts go: the facts for the
// settings and their Portuguese line and tool tip. Run for the default text and for 2,900
// bytes, at level M (too long: the answer comes from the remembered capacity) and at level L
// (a version 40 symbol: one libqrencode encoding), and for ESC Z.
#include <benchmark/benchmark.h>

#include "symbols/symbol_facts.h"
#include "symbols/symbol_facts_text.h"
#include "ticket/ticket_defaults.h"

namespace {

using namespace qrticket;

QrPrintSettings Settings(std::size_t length, std::int16_t level, bool woosim) {
  QrPrintSettings s;
  if (length == 0) {
    s.dataText = kSampleDataText;
  } else {
    s.dataText.assign(length, 'x');
  }
  s.moduleSizeText = kDefaultModuleSizeText;
  s.errorLevelIndex = level;
  s.woosimDialect = woosim;
  return s;
}

void FactsPerChange(benchmark::State& state) {
  const QrPrintSettings settings = Settings(static_cast<std::size_t>(state.range(0)),
                                            static_cast<std::int16_t>(state.range(1)),
                                            state.range(2) != 0);
  SymbolFactsFor(settings);  // capacities are measured once per model and level, then kept
  for (auto _ : state) {
    const SymbolFacts facts = SymbolFactsFor(settings);
    benchmark::DoNotOptimize(SymbolFactsLine(facts));
    benchmark::DoNotOptimize(SymbolFactsReport(facts, 120));
  }
}
// Arguments: text length (0: the 140-character sample), level index, ESC Z.
BENCHMARK(FactsPerChange)
    ->ArgNames({"bytes", "level", "woosim"})
    ->Args({0, 1, 0})
    ->Args({2900, 1, 0})
    ->Args({2900, 0, 0})
    ->Args({0, 1, 1})
    ->Args({2900, 0, 1})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
