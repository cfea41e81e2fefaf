// Delivered means delivered: a slow printer gets the whole ticket and the job succeeds only
// after it has read the last byte; a pty gets the bytes unchanged; a serial port that drains
// slowly is waited for, one held by flow control times out.
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "devices/device_failures.h"
#include "job_runner.h"
#include "loopback_printer.h"
#include "pty_pair.h"
#include "temp_dir.h"
#include "ticket/ticket_defaults.h"
#include "ticket/ticket_job.h"
#include "ticket_bytes.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;

// The real system calls, except that every socket the job makes gets a small send buffer, as
// on a congested link: the job then waits while writing, not only while closing.
class SmallSendBuffer : public SystemCalls {
 public:
  int Socket(int domain, int type, int protocol) override {
    const int fd = SystemCalls::Socket(domain, type, protocol);
    const int size = 4096;
    if (fd >= 0) SystemCalls::SetSockOpt(fd, SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
    return fd;
  }
};

struct SlowRow {
  const char* name;
  bool smallSendBuffer;
  std::chrono::milliseconds stall;  // well below the time the whole ticket takes
};

void PrintTo(const SlowRow& row, std::ostream* out) { *out << row.name; }

class SlowNetworkPrinter : public ::testing::TestWithParam<SlowRow> {};

TEST_P(SlowNetworkPrinter, GetsTheLongestTicketWholeBeforeTheJobSucceeds) {
  // About 10 KB/s through a small receive buffer: the ticket takes seconds, many times the
  // stall time-out, and the job must neither cut it off nor return before the last byte is
  // read.
  LoopbackPrinter printer(PrinterBehaviour{.kind = PrinterBehaviour::Kind::ReadSlowly,
                                           .chunk = 1024, .pause = 100ms,
                                           .receiveBuffer = 2048});
  const ChannelOptions options{.stallTimeout = GetParam().stall, .connectTimeout = 1000ms};
  const auto settings = TicketTo(printer.DeviceName(), LongestDataText());
  const Bytes expected = TicketBytes(settings);
  SmallSendBuffer smallSendBuffer;
  SystemCalls& sys = GetParam().smallSendBuffer ? smallSendBuffer : SystemCalls::Real();

  const JobOutcome outcome = RunJob(settings, options, sys);
  const auto jobEnded = Clock::now();

  EXPECT_EQ(outcome.message, std::nullopt);
  EXPECT_GT(outcome.elapsed, 3 * options.stallTimeout) << "the printer was not slow after all";
  ASSERT_TRUE(printer.WaitFinished(5000ms));
  const Bytes received = printer.received();
  EXPECT_EQ(received.size(), expected.size());
  EXPECT_TRUE(received == expected) << "bytes missing, repeated or out of order";
  EXPECT_LE(printer.lastByteReadAt(), jobEnded) << "the job succeeded before the last byte was read";
  EXPECT_TRUE(printer.sawEndOfStream());
}

// With a small send buffer the socket reports room only now and then, later than the stall
// time-out: the shrinking queue has to count as progress while writing.
INSTANTIATE_TEST_SUITE_P(Delivery, SlowNetworkPrinter,
                         ::testing::Values(SlowRow{"DefaultBuffers", false, 1000ms},
                                           SlowRow{"SmallSendBuffer", true, 300ms}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Delivery, PtyGetsTheBytesUnchangedAndKeepsItsSettings) {
  PtyPair pty;
  // A keeper on the slave side, so nothing is lost when the job closes its own descriptor.
  const int keeper = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(keeper, 0);
  termios before{};
  ASSERT_EQ(::tcgetattr(keeper, &before), 0);
  ASSERT_NE(before.c_oflag & OPOST, 0u) << "a fresh pty post-processes output";
  ASSERT_NE(before.c_oflag & ONLCR, 0u);
  ::cfsetospeed(&before, B4800);  // a speed the job must keep
  ASSERT_EQ(::tcsetattr(keeper, TCSANOW, &before), 0);

  // Line feeds, a carriage return, a tab, NUL and high bytes in the data, each passed as is.
  const Bytes data("A\nB\r\nC\tD\0E\x80\xFF\n", 14);
  const auto settings = TicketTo(pty.slavePath(), data);
  const Bytes expected = TicketBytes(settings);
  ASSERT_NE(expected.find(data), std::string::npos);

  EXPECT_EQ(RunJob(settings, ChannelOptions{}).message, std::nullopt);
  Bytes received = pty.ReadMaster(expected.size(), 2000ms);
  received += pty.ReadMaster(1, 200ms);  // nothing more may follow
  EXPECT_EQ(Hex(received), Hex(expected));

  termios after{};
  ASSERT_EQ(::tcgetattr(keeper, &after), 0);
  EXPECT_EQ(after.c_oflag, before.c_oflag) << "output post-processing was not restored";
  EXPECT_EQ(after.c_cflag, before.c_cflag);
  EXPECT_EQ(::cfgetospeed(&after), static_cast<speed_t>(B4800));
  ::close(keeper);
}

// A pty standing in for a serial port, with TIOCOUTQ answered from a script: how many bytes
// the "UART" still holds as time passes.
class ScriptedSerialQueue : public SystemCalls {
 public:
  explicit ScriptedSerialQueue(std::function<int(std::chrono::milliseconds)> queued)
      : queued_(std::move(queued)) {}

  int IoctlInt(int fd, unsigned long request, int* value) override {
    if (request != TIOCOUTQ) return SystemCalls::IoctlInt(fd, request, value);
    if (!start_) start_ = Clock::now();
    *value = queued_(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - *start_));
    return 0;
  }
  int TcSetAttr(int fd, int when, const termios* attributes) override {
    if ((attributes->c_oflag & OPOST) == 0) sawRawOutput = true;
    return SystemCalls::TcSetAttr(fd, when, attributes);
  }
  int TcFlush(int fd, int queue) override {
    ++flushes;
    return SystemCalls::TcFlush(fd, queue);
  }
  bool sawRawOutput = false;
  int flushes = 0;

 private:
  std::function<int(std::chrono::milliseconds)> queued_;
  std::optional<Clock::time_point> start_;
};

TEST(Delivery, SerialPortThatDrainsSlowlyIsWaitedFor) {
  PtyPair pty;
  // 1200 bytes leaving at 1 byte a millisecond: 1.2 s to drain, four times the stall time-out.
  ScriptedSerialQueue sys([](std::chrono::milliseconds t) {
    return std::max<int>(0, 1200 - static_cast<int>(t.count()));
  });
  const ChannelOptions options{.stallTimeout = 300ms, .connectTimeout = 300ms};
  const JobOutcome outcome = RunJob(TicketTo(pty.slavePath(), kSampleDataText), options, sys);
  EXPECT_EQ(outcome.message, std::nullopt);
  EXPECT_GE(outcome.elapsed, 1100ms) << "closed before the queue had drained";
  EXPECT_TRUE(sys.sawRawOutput);
  EXPECT_EQ(sys.flushes, 0) << "a drained queue must not be discarded";
}

TEST(Delivery, SerialPortHeldByFlowControlTimesOutAndIsReleased) {
  PtyPair pty;
  ScriptedSerialQueue sys([](std::chrono::milliseconds) { return 700; });
  const ChannelOptions options{.stallTimeout = 300ms, .connectTimeout = 300ms};
  const JobOutcome outcome = RunJob(TicketTo(pty.slavePath(), kSampleDataText), options, sys);
  EXPECT_EQ(outcome.message,
            kFailurePrefix + failures::TimedOut(pty.slavePath(), options.stallTimeout).description());
  EXPECT_GE(outcome.elapsed, options.stallTimeout);
  EXPECT_LT(outcome.elapsed, options.stallTimeout + 2000ms);
  EXPECT_EQ(sys.flushes, 1) << "the stuck queue must be discarded so that close cannot block";
  // Released: the next job on the same port is not "busy".
  ScriptedSerialQueue drained([](std::chrono::milliseconds) { return 0; });
  EXPECT_EQ(RunJob(TicketTo(pty.slavePath(), kSampleDataText), options, drained).message,
            std::nullopt);
}

// A USB printer's driver takes a write and reports room again only once the printer has it;
// A null device stands in for the device node, and poll is told it never gets room back.
class DriverNeverDone : public SystemCalls {
 public:
  int Poll(pollfd* fds, nfds_t count, int timeoutMs) override {
    if (count == 1 && (fds[0].events & POLLOUT) != 0) {
      ++waits;
      SystemCalls::Poll(nullptr, 0, timeoutMs);
      fds[0].revents = 0;
      return 0;
    }
    return SystemCalls::Poll(fds, count, timeoutMs);
  }
  int waits = 0;
};

TEST(Delivery, PrinterDeviceThatNeverTakesTheLastWriteTimesOut) {
  DriverNeverDone sys;
  const TempDir dir;
  const std::string null = PrivateNullDevice(dir);
  const ChannelOptions options{.stallTimeout = 300ms, .connectTimeout = 300ms};
  const JobOutcome outcome = RunJob(TicketTo(null, kSampleDataText), options, sys);
  EXPECT_EQ(outcome.message,
            kFailurePrefix + failures::TimedOut(null, options.stallTimeout).description());
  EXPECT_GE(outcome.elapsed, options.stallTimeout);
  EXPECT_LT(outcome.elapsed, options.stallTimeout + 2000ms);
  EXPECT_GT(sys.waits, 0);
  EXPECT_EQ(RunJob(TicketTo(null, kSampleDataText), options).message, std::nullopt);
}

}  // namespace
}  // namespace qrticket::testing
