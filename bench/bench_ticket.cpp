// Building a ticket and writing it to a file: time per ticket and write calls per ticket.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "ticket/ticket.h"
#include "ticket/ticket_defaults.h"
#include "ticket/ticket_job.h"

namespace {

using namespace qrticket;

QrPrintSettings Settings(std::size_t dataLength) {
  QrPrintSettings s;
  s.dataText = dataLength == 0 ? Bytes(kSampleDataText) : Bytes(dataLength, 'x');
  s.moduleSizeText = kDefaultModuleSizeText;
  return s;
}

// Counts the write calls that reach the system, to see how the channel batches them.
class CountingCalls final : public SystemCalls {
 public:
  ssize_t Write(int fd, const void* data, size_t size) override {
    ++writes;
    return SystemCalls::Write(fd, data, size);
  }
  long writes = 0;
};

class NoReporter final : public FailureReporter {
 public:
  void ShowFailure(const std::string& message) override { throw std::runtime_error(message); }
};

void BuildTicket(benchmark::State& state) {
  const QrPrintSettings settings = Settings(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    Bytes bytes;
    for (const auto& statement : TicketStatements(settings, 6)) AppendStatement(statement, bytes);
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(BuildTicket)->Arg(0)->Arg(32764)->ArgName("data_length (0 = default text)");

void PrintTicketToFile(benchmark::State& state) {
  QrPrintSettings settings = Settings(static_cast<std::size_t>(state.range(0)));
  char path[] = "/tmp/qrticket-bench-XXXXXX";
  const int fd = ::mkstemp(path);
  ::close(fd);
  settings.deviceName = path;
  CountingCalls calls;
  NoReporter reporter;
  for (auto _ : state) PrintQrTest(settings, reporter, {}, calls);
  state.counters["writes_per_ticket"] =
      benchmark::Counter(static_cast<double>(calls.writes) / state.iterations());
  ::unlink(path);
}
BENCHMARK(PrintTicketToFile)->Arg(0)->Arg(32764)->ArgName("data_length (0 = default text)");

}  // namespace

BENCHMARK_MAIN();
