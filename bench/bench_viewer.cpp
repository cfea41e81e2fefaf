// Drawing tickets with the virtual printer: the default ticket, one at the QR capacity limit,
// a third-party receipt (picture, bar codes, PDF417) and a whole receipt sent as one picture
// with an invoice QR code in it (read back from the dots), each rendered and encoded to PNG.
// Reports time per ticket, the PNG size and the process's peak resident memory (getrusage
// ru_maxrss) after the runs. Memory against input size: bench/viewer_memory.sh.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "png_writer.h"
#include "render_ticket.h"
#include "symbols/qr_encoder.h"
#include "ticket/qr_print_settings.h"
#include "ticket/ticket.h"
#include "ticket/ticket_defaults.h"

namespace {

using namespace qrticket;
using namespace std::string_literals;

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

// A whole 80 mm receipt as one GS v 0 picture, 576 × 2000 dots, as drivers that print through
// a bitmap send it: lines of text-like ink above and below an invoice QR code of version 10 at
// 5 dots per module, which the report reads back and judges.
Bytes PictureReceipt() {
  constexpr int kWidth = 576, kHeight = 2000, kModule = 5, kTop = 800;
  const Bytes invoice =
      "A:500000000*B:123456789*C:PT*D:PF*E:N*F:20190123*G:PF G2019CB/145789*H:HB6FT7RV-145789*"
      "I1:PT*I2:12345.34*I3:12532.65*I4:751.96*I5:52789.00*I6:6862.57*I7:32425.69*I8:7457.91*"
      "N:15072.44*O:125165.12*Q:r/fY*R:9999";
  const QrGrid symbol = *EncodeQr(invoice, QrModel::Model2, QrEcLevel::M, 10);
  const int left = (kWidth - symbol.modules * kModule) / 2;
  const int bottom = kTop + symbol.modules * kModule;
  Bytes rows(static_cast<std::size_t>(kWidth / 8) * kHeight, '\0');
  std::uint32_t noise = 12345;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      bool ink = false;
      if (y >= kTop && y < bottom && x >= left && x < left + symbol.modules * kModule) {
        ink = symbol.Dark((y - kTop) / kModule, (x - left) / kModule);
      } else if ((y < kTop - 40 || y >= bottom + 40) && y % 30 < 20) {
        noise = noise * 1664525u + 1013904223u;  // glyph-like specks on 24-dot text lines
        ink = (noise >> 28) < 5;
      }
      if (ink) {
        rows[static_cast<std::size_t>(y) * (kWidth / 8) + x / 8] |=
            static_cast<char>(0x80 >> (x % 8));
      }
    }
  }
  const auto word = [](int v) {
    return Bytes{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
  };
  return "\x1dv0\0"s + word(kWidth / 8) + word(kHeight) + rows;
}

void BM_PictureReceiptToPng(benchmark::State& state) {
  const Bytes receipt = PictureReceipt();
  const auto report = viewer::RenderTicket(receipt).report;
  if (std::find(report.begin(), report.end(), "Portaria 195/2020: cumpre") == report.end())
    state.SkipWithError("the picture's invoice QR code was not read back");
  RenderToPng(state, receipt);
}
BENCHMARK(BM_PictureReceiptToPng)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
