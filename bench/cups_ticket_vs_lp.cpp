// A default ticket through a raw CUPS queue of a private scheduler, as a whole process, beside
// `lp -o raw` of the same bytes followed by `lpstat` every 50 ms until the job is done: what
// watching the job until CUPS reports it costs over the plain spooler tools.
//   bench/cups_ticket_vs_lp [RUNS]      (built as build-test/bench/cups_ticket_vs_lp; as root)
// Prints the median wall time of each and their ratio. Runs alternate, so a busy moment of the
// machine falls on both. The printer is a loopback listener of the benchmark's own.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "private_cupsd.h"
#include "run_program.h"
#include "temp_dir.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using qrticket::testing::EnvironmentChanges;
using qrticket::testing::RunProgram;

// A raw printer on 127.0.0.1 that reads each connection to its end.
class Sink {
 public:
  Sink() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 8) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      std::fprintf(stderr, "no loopback listener\n");
      std::exit(1);
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] {
      while (!stop_) {
        pollfd p{listener_, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) continue;
        const int c = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (c < 0) continue;
        char buffer[65536];
        while (::recv(c, buffer, sizeof buffer, 0) > 0) {
        }
        ::close(c);
      }
    });
  }
  ~Sink() {
    stop_ = true;
    thread_.join();
    ::close(listener_);
  }
  int port() const { return port_; }

 private:
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void MustSucceed(const qrticket::testing::ProgramRun& run, const char* what) {
  if (run.exitCode == 0) return;
  std::fprintf(stderr, "%s failed (%d): %s%s\n", what, run.exitCode, run.out.c_str(),
               run.err.c_str());
  std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 15;
  if (qrticket::testing::PrivateCupsd::FindCupsd().empty()) {
    std::fprintf(stderr, "cupsd is not installed (Debian package \"cups\")\n");
    return 1;
  }
  qrticket::testing::PrivateCupsd cupsd;
  if (!cupsd.ok()) {
    std::fprintf(stderr, "%s\n", cupsd.error().c_str());
    return 1;
  }
  Sink printer;
  cupsd.AddRawQueue("Bench", "socket://127.0.0.1:" + std::to_string(printer.port()));
  qrticket::testing::TempDir dir;
  const std::string ticket = dir.File("ticket.bin");
  MustSucceed(RunProgram({QRTICKET_BINARY, "--device", ticket}), "qrticket to a file");
  // This scheduler only, none of the machine's client settings.
  const EnvironmentChanges env = {{"CUPS_SERVER", cupsd.server()},
                                  {"CUPS_SERVERROOT", dir.path().string()},
                                  {"HOME", dir.path().string()},
                                  {"LPDEST", std::nullopt},
                                  {"PRINTER", std::nullopt}};

  const auto ours = [&] {
    const auto start = Clock::now();
    MustSucceed(RunProgram({QRTICKET_BINARY, "--device", "cups:Bench"}, env), "qrticket");
    return Milliseconds(Clock::now() - start);
  };
  const auto spooler = [&] {
    const auto start = Clock::now();
    MustSucceed(RunProgram({"lp", "-h", cupsd.server(), "-d", "Bench", "-o", "raw", ticket}, env),
                "lp");
    for (;;) {
      const auto listed = RunProgram({"lpstat", "-h", cupsd.server(), "-o", "Bench"}, env);
      MustSucceed(listed, "lpstat");
      if (listed.out.empty()) break;
      std::this_thread::sleep_for(50ms);
    }
    return Milliseconds(Clock::now() - start);
  };

  ours();  // warm up the scheduler and the caches
  spooler();
  std::vector<double> a, b;
  for (int i = 0; i < runs; ++i) {
    a.push_back(ours());
    b.push_back(spooler());
  }
  const double ma = Median(a), mb = Median(b);
  std::printf("qrticket --device cups:QUEUE   median %.1f ms (%d runs)\n", ma, runs);
  std::printf("lp -o raw + lpstat every 50 ms median %.1f ms\n", mb);
  std::printf("ratio %.2f\n", ma / mb);
  return 0;
}
