// The end of a network job is bounded whatever the printer sends: a printer that floods the
// connection with status bytes after (or during) the ticket and never closes its side.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "default_ticket.h"
#include "devices/tcp_device.h"
#include "loopback_listener.h"
#include "recording_reporter.h"
#include "ticket/ticket_job.h"

namespace qrticket {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Reads everything and sends status bytes as fast as the connection takes them, from
// `floodFrom` bytes received on, until the job has gone or 60 s pass; never closes first.
class FloodingPrinter {
 public:
  explicit FloodingPrinter(std::size_t floodFrom) : floodFrom_(floodFrom) {
    listener_ = testing::ListenOnLoopback(1, port_);
    thread_ = std::thread([this] { Run(); });
  }
  ~FloodingPrinter() {
    stop_ = true;
    thread_.join();
    ::close(listener_);
  }
  std::string DeviceName() const { return "tcp://127.0.0.1:" + std::to_string(port_); }
  std::size_t received() const { return received_; }
  std::size_t sent() const { return sent_; }

 private:
  void Run() {
    pollfd p{listener_, POLLIN, 0};
    if (::poll(&p, 1, 10000) <= 0) return;
    const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    const auto end = Clock::now() + 60s;
    const std::string status(65536, '\x10');
    char buffer[65536];
    // The job's end of stream does not stop it: only the job's close (a reset) does.
    while (!stop_ && Clock::now() < end) {
      const ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
      if (got > 0) received_ += static_cast<std::size_t>(got);
      if (got < 0 && errno != EAGAIN) break;
      if (received_ >= floodFrom_) {
        const ssize_t n = ::send(connection, status.data(), status.size(), MSG_NOSIGNAL);
        if (n > 0) sent_ += static_cast<std::size_t>(n);
        if (n < 0 && errno != EAGAIN) break;  // the job has closed
        if (n > 0) continue;
      }
      pollfd c{connection, static_cast<short>(received_ >= floodFrom_ ? POLLOUT : POLLIN), 0};
      ::poll(&c, 1, 5);
    }
    ::close(connection);
  }

  std::size_t floodFrom_;
  int listener_ = -1;
  std::uint16_t port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<std::size_t> received_{0}, sent_{0};
  std::thread thread_;
};

// A printer whose status bytes never stop coming: every read of the job finds more, as a
// printer sending faster than the job reads would look. Real calls otherwise; after 60 s the
// flood dries up, so a job that would read for ever fails on time instead of hanging the test.
class EndlessStatusCalls final : public SystemCalls {
 public:
  ssize_t Recv(int fd, void* buffer, size_t size, int flags) override {
    if (Clock::now() - start_ > 60s) return SystemCalls::Recv(fd, buffer, size, flags);
    std::memset(buffer, 0x10, size);
    return static_cast<ssize_t>(size);
  }

 private:
  const Clock::time_point start_ = Clock::now();
};

struct FloodCase {
  const char* name;
  std::size_t floodFrom;
  bool endless;  // every read finds more (through the system call seam)
};

class FloodingPrinterTable : public ::testing::TestWithParam<FloodCase> {};

TEST_P(FloodingPrinterTable, JobEndsWithinItsBounds) {
  FloodingPrinter printer(GetParam().floodFrom);
  const QrPrintSettings settings = testing::DefaultTicketTo(printer.DeviceName());
  ChannelOptions options;
  options.stallTimeout = 2000ms;
  testing::RecordingReporter reporter;
  EndlessStatusCalls endless;
  SystemCalls& sys = GetParam().endless ? endless : SystemCalls::Real();
  const auto start = Clock::now();
  PrintQrTest(settings, reporter, options, sys);
  const auto elapsed = Clock::now() - start;
  EXPECT_TRUE(reporter.messages.empty()) << reporter.messages.front();
  EXPECT_GT(printer.sent(), 0u) << "the printer did flood";
  // Everything is acknowledged at once; then at most the wait for the printer's close.
  EXPECT_LT(elapsed, options.stallTimeout + kPeerCloseWait + 3s);
}

INSTANTIATE_TEST_SUITE_P(Floods, FloodingPrinterTable,
                         ::testing::Values(FloodCase{"AfterTheTicket", 700, false},
                                           FloodCase{"FromTheFirstByte", 1, false},
                                           FloodCase{"NeverEnding", 700, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket
