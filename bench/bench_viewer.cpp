// Drawing tickets with the virtual printer: the default ticket, one at the QR capacity limit
// and a third-party receipt (picture, bar codes, PDF417), each rendered and encoded to PNG.
// Reports time per ticket, the PNG size and the process's peak resident memory (getrusage
// ru_maxrss) after the runs. Memory against input size: bench/viewer_memory.sh.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <fstream>
#include <iterator>

#include "png_writer.h"
#include "render_ticket.h"
#include "ticket/qr_print_settings.h"
#include "ticket/ticket.h"
#include "ticket/ticket_defaults.h"

namespace {

using namespace qrticket;

Bytes TicketBytes(Bytes data, std::int16_t moduleSize, std::int16_t level) {
  QrPrintSettings s;
  s.dataText = std::move(data);
  s.errorLevelIndex = level;
  Bytes out;
  for (const auto& statement : TicketStatements(s, moduleSize)) AppendStatement(statement, out);
  return out;
}

double PeakRssMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB on Linux
}

void RenderToPng(benchmark::State& state, const Bytes& ticket) {
  std::size_t pngBytes = 0;
  for (auto _ : state) {
    const auto rendered = viewer::RenderTicket(ticket);
    const auto png = viewer::EncodePng(rendered.width, rendered.height, rendered.pixels);
    pngBytes = png.size();
    benchmark::DoNotOptimize(png.data());
  }
  state.counters["png_bytes"] = static_cast<double>(pngBytes);
  state.counters["peak_rss_MiB"] = PeakRssMiB();
  state.SetItemsProcessed(state.iterations());
}

// The ticket as the window prints it by default: 140 characters, version 8, module 6.
void BM_DefaultTicketToPng(benchmark::State& state) {
  RenderToPng(state, TicketBytes(kSampleDataText, 6, 1));
}
BENCHMARK(BM_DefaultTicketToPng)->Unit(benchmark::kMillisecond);

// 2953 bytes at level L: version 40, the largest symbol, at 3 dots per module (531 dots wide).
// Its data line also wraps over some 60 lines of text.
void BM_CapacityTicketToPng(benchmark::State& state) {
  RenderToPng(state, TicketBytes(Bytes(2953, 'x'), 3, 0));
}
BENCHMARK(BM_CapacityTicketToPng)->Unit(benchmark::kMillisecond);

// A receipt made by receipt-printer-encoder: an ESC * logo, a table, a QR symbol, EAN-13,
// CODE128 and PDF417 (tests/viewer/fixtures).
void BM_ThirdPartyReceiptToPng(benchmark::State& state) {
  std::ifstream in(QRTICKET_VIEWER_FIXTURES "/rpe-receipt.bin", std::ios::binary);
  const Bytes receipt{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (receipt.empty()) state.SkipWithError("tests/viewer/fixtures/rpe-receipt.bin not found");
  RenderToPng(state, receipt);
}
BENCHMARK(BM_ThirdPartyReceiptToPng)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
