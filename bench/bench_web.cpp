// The receipt bench's latency: from the moment a sender has sent its whole job (and
// half-closed) to the moment the page's event stream carries the receipt, through the real
// listener, drawing, PNG, store and HTTP server on loopback. Aim: under 100 ms for the default
// ticket and for a third-party receipt. Memory with 200 receipts held: bench/web_memory.sh.
#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <future>
#include <iterator>

#include "http_exchange.h"
#include "ticket/qr_print_settings.h"
#include "ticket/ticket.h"
#include "web_bench.h"

namespace {

using namespace qrticket;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::string DefaultTicket() {
  Bytes out;
  for (const auto& statement : TicketStatements(QrPrintSettings{}, 6))
    AppendStatement(statement, out);
  return std::string(out.begin(), out.end());
}

std::string Fixture(const char* name) {
  std::ifstream in(std::string(QRTICKET_VIEWER_FIXTURES) + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Sends the job and half-closes; returns when the last byte went, without waiting for the
// printer, together with the socket (closed by the caller).
int SendWholeJob(int port, const std::string& job) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return -1;
  std::size_t sent = 0;
  while (sent < job.size()) {
    const ssize_t n = ::send(fd, job.data() + sent, job.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) break;
    sent += static_cast<std::size_t>(n);
  }
  ::shutdown(fd, SHUT_WR);
  return fd;
}

void JobToPage(benchmark::State& state, const std::string& job) {
  viewer::web::WebBench bench(viewer::web::WebOptions{}, {});
  viewer::ListenOptions options;
  options.port = 0;
  options.outDir = bench.folder();
  options.keepBytes = true;
  viewer::ListenServer server(options);
  auto running = std::async(std::launch::async, [&] {
    server.Run([&](const viewer::ListenJob& done) { bench.Take(done); });
  });
  const int pagePort = std::stoi(bench.url().substr(bench.url().rfind(':') + 1));
  testing::EventStream stream(pagePort);
  if (stream.ReadUntil("retry:", 5s).empty()) state.SkipWithError("no event stream");

  int id = 0;
  for (auto _ : state) {
    ++id;
    const auto start = Clock::now();
    const int fd = SendWholeJob(server.port(), job);
    const bool arrived = !stream.ReadUntil("{\"id\":" + std::to_string(id) + ",", 10s).empty();
    const auto elapsed = Clock::now() - start;
    ::close(fd);
    if (!arrived) {
      state.SkipWithError("the receipt never reached the stream");
      break;
    }
    state.SetIterationTime(std::chrono::duration<double>(elapsed).count());
  }
  state.counters["job_bytes"] = static_cast<double>(job.size());
  server.Stop();
  running.wait_for(10s);
}

void BM_DefaultTicketToPage(benchmark::State& state) { JobToPage(state, DefaultTicket()); }
void BM_ThirdPartyReceiptToPage(benchmark::State& state) {
  JobToPage(state, Fixture("rpe-receipt.bin"));
}

BENCHMARK(BM_DefaultTicketToPage)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(BM_ThirdPartyReceiptToPage)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);

}  // namespace

BENCHMARK_MAIN();
