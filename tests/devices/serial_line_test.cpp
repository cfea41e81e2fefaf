// Serial settings given after a tty's name: set for the job, held while the line carries the
// bytes, and put back afterwards, also when the job fails or is stopped. On pseudo-terminals
// (speed, stop bits and flow control are what a pty keeps) and, for parity, data bits, a speed
// the driver changes and the DSR line, through the system call seam.
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "default_ticket.h"
#include "devices/device_failures.h"
#include "devices/posix/serial_line.h"
#include "job_runner.h"
#include "serial_pty.h"
#include "temp_dir.h"
#include "ticket_bytes.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Parity = SerialSettings::Parity;
using StopBits = SerialSettings::StopBits;
using Flow = SerialSettings::Flow;

const ChannelOptions kOptions{.stallTimeout = 2000ms};

// --- The bits of each setting ------------------------------------------------------------

struct BitsRow {
  const char* name;
  SerialSettings settings;
  tcflag_t cflagSet;    // must all be set
  tcflag_t cflagClear;  // must all be clear
  tcflag_t iflagSet;
  tcflag_t iflagClear;
  tcflag_t speedCode = 0;  // B19200..., or BOTHER for a speed without one
};
void PrintTo(const BitsRow& row, std::ostream* out) { *out << row.name; }

class LineBits : public ::testing::TestWithParam<BitsRow> {};

TEST_P(LineBits, OnTopOfThePortsOwn) {
  // The port's own: 7E2 with RTS/CTS and XON/XOFF at 1200, hang-up on close.
  LineSettings own;
  own.cflag = B1200 | CS7 | PARENB | PARODD | CSTOPB | CRTSCTS | HUPCL;
  own.iflag = IXON | IXOFF | IXANY | ICRNL;
  own.oflag = OPOST | ONLCR;
  own.lflag = ECHO | ICANON;
  const BitsRow& row = GetParam();
  const LineSettings line = LineFor(own, row.settings, LineModes::RawOutput);
  EXPECT_EQ(line.cflag & row.cflagSet, row.cflagSet);
  EXPECT_EQ(line.cflag & row.cflagClear, 0u);
  EXPECT_EQ(line.iflag & row.iflagSet, row.iflagSet);
  EXPECT_EQ(line.iflag & row.iflagClear, 0u);
  EXPECT_EQ(line.cflag & kLineSpeedMask, row.speedCode);
  EXPECT_EQ(line.cflag & kLineInputSpeedMask, 0u) << "the input speed follows the output's";
  EXPECT_EQ(line.ospeed, row.settings.speed);
  EXPECT_EQ(line.ispeed, row.settings.speed);
  EXPECT_EQ(line.cflag & (CREAD | CLOCAL | HUPCL), CREAD | CLOCAL | HUPCL);
  EXPECT_EQ(line.oflag & OPOST, 0u);
  EXPECT_EQ(line.lflag, own.lflag) << "a ticket leaves the input modes alone";
  EXPECT_EQ(line.iflag & ICRNL, ICRNL);
}

// What a line set to the settings reads back as (the device list shows it): the same
// settings, except that DTR/DSR has no flag of its own to be read.
TEST_P(LineBits, ReadBackAsTheSettings) {
  const BitsRow& row = GetParam();
  LineSettings own;
  own.cflag = B1200 | CS7 | PARENB | CSTOPB | CRTSCTS;
  own.iflag = IXON | IXOFF;
  SerialSettings expected = row.settings;
  if (expected.flow == Flow::DtrDsr) expected.flow = Flow::None;
  if (expected.flow == Flow::Hardware) expected.flow = Flow::RtsCts;
  EXPECT_EQ(SerialSettingsText(SettingsOf(LineFor(own, row.settings, LineModes::RawOutput))),
            SerialSettingsText(expected));
}

INSTANTIATE_TEST_SUITE_P(
    Settings, LineBits,
    ::testing::Values(
        BitsRow{"N81", {.speed = 19200}, CS8, PARENB | CSTOPB | CRTSCTS | CMSPAR, 0,
                IXON | IXOFF | IXANY, B19200},
        BitsRow{"E71", {9600, Parity::Even, 7}, CS7 | PARENB, PARODD | CMSPAR | CSTOPB | (CS8 & ~CS7),
                0, IXON, B9600},
        BitsRow{"O82", {9600, Parity::Odd, 8, StopBits::Two}, CS8 | PARENB | PARODD | CSTOPB, CMSPAR,
                0, IXON, B9600},
        BitsRow{"Mark", {9600, Parity::Mark, 8}, PARENB | PARODD | CMSPAR, 0, 0, 0, B9600},
        BitsRow{"Space", {9600, Parity::Space, 8}, PARENB | CMSPAR, PARODD, 0, 0, B9600},
        BitsRow{"FiveDataOneAndAHalf", {1200, Parity::None, 5, StopBits::OnePointFive},
                CS5 | CSTOPB, CS8 & ~CS5, 0, 0, B1200},
        BitsRow{"Xon", {9600, Parity::None, 8, StopBits::One, Flow::XonXoff}, 0, CRTSCTS,
                IXON | IXOFF, IXANY, B9600},
        BitsRow{"Rts", {9600, Parity::None, 8, StopBits::One, Flow::RtsCts}, CRTSCTS, 0, 0,
                IXON | IXOFF, B9600},
        BitsRow{"DtrHasNoFlag", {9600, Parity::None, 8, StopBits::One, Flow::DtrDsr}, 0, CRTSCTS, 0,
                IXON | IXOFF, B9600},
        BitsRow{"Hardware", {9600, Parity::None, 8, StopBits::One, Flow::Hardware}, CRTSCTS, 0, 0,
                IXON | IXOFF, B9600},
        BitsRow{"FastestStandard", {.speed = 921600}, CS8, 0, 0, 0, B921600},
        BitsRow{"NonStandardSpeed", {.speed = 250000}, CS8, 0, 0, 0, kLineSpeedAsNumber}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LineBits, AnExchangeReadsRaw) {
  LineSettings own;
  own.iflag = ICRNL | ISTRIP | IGNCR;
  own.lflag = ECHO | ICANON | ISIG;
  const LineSettings line = LineFor(own, {.speed = 9600}, LineModes::RawBoth);
  EXPECT_EQ(line.iflag & (ICRNL | ISTRIP | IGNCR), 0u);
  EXPECT_EQ(line.lflag & (ECHO | ICANON | ISIG), 0u);
  EXPECT_EQ(line.cc[VMIN], 1);
  EXPECT_EQ(line.cc[VTIME], 0);
}

// --- Tickets on a pseudo-terminal -------------------------------------------------------

// Reads the master on a thread and notes the line's settings when the first bytes arrive, as
// a printer at the other end would meet them.
struct LineWatcher {
  SerialPty& line;
  std::atomic<bool> stop{false};
  std::mutex mutex;
  std::optional<LineSettings> atArrival;
  std::string bytes;
  std::thread thread;

  explicit LineWatcher(SerialPty& l) : line(l) {
    thread = std::thread([this] {
      char buffer[4096];
      while (!stop) {
        pollfd p{line.master(), POLLIN, 0};
        if (::poll(&p, 1, 10) <= 0) continue;
        const ssize_t got = ::read(line.master(), buffer, sizeof buffer);
        if (got <= 0) continue;
        std::lock_guard lock(mutex);
        if (!atArrival) atArrival = line.Line();
        bytes.append(buffer, static_cast<std::size_t>(got));
      }
    });
  }
  ~LineWatcher() {
    stop = true;
    thread.join();
  }
};

struct PtyRow {
  const char* name;
  std::string settings;         // after the colon
  std::uint32_t speed;          // the line's speed while the bytes arrive
  tcflag_t cflagWhileSending;   // of CSTOPB and CRTSCTS, what the pty shows
  tcflag_t iflagWhileSending;   // of IXON and IXOFF
};
void PrintTo(const PtyRow& row, std::ostream* out) { *out << row.name; }

class TicketWithSettings : public ::testing::TestWithParam<PtyRow> {};

TEST_P(TicketWithSettings, SetForTheJobAndPutBack) {
  const PtyRow& row = GetParam();
  SerialPty line;
  line.SetSpeed(38400);
  const LineSettings own = line.Line();
  const std::string device = line.path() + ":" + row.settings;
  JobOutcome outcome;
  const Bytes expected = TicketBytes(DefaultTicketTo(device));
  {
    LineWatcher watcher(line);
    outcome = RunJob(DefaultTicketTo(device), kOptions);
    std::this_thread::sleep_for(50ms);
    std::lock_guard lock(watcher.mutex);
    ASSERT_FALSE(outcome.message) << *outcome.message;
    ASSERT_TRUE(watcher.atArrival);
    EXPECT_EQ(watcher.atArrival->ospeed, row.speed);
    EXPECT_EQ(watcher.atArrival->cflag & (CSTOPB | CRTSCTS), row.cflagWhileSending);
    EXPECT_EQ(watcher.atArrival->iflag & (IXON | IXOFF), row.iflagWhileSending);
    EXPECT_EQ(watcher.bytes, expected) << "the bytes go unchanged";
  }
  EXPECT_EQ(line.Line(), own) << "the port's own settings are back, every bit of them";
  // Held while the line could still be carrying them.
  const SerialSettings s = *ParseSerialSettings(row.settings).settings;
  EXPECT_GE(outcome.elapsed, LineTime(expected.size(), s));
}

INSTANTIATE_TEST_SUITE_P(
    Pty, TicketWithSettings,
    ::testing::Values(PtyRow{"Speed19200", "19200", 19200, 0, 0},
                      PtyRow{"Speed115200Full", "115200,n,8,1", 115200, 0, 0},
                      PtyRow{"NonStandard250000", "250000,n,8,1", 250000, 0, 0},
                      PtyRow{"TwoStopBitsRts", "57600,n,8,2,r", 57600, CSTOPB | CRTSCTS, 0},
                      PtyRow{"XonXoff", "19200,n,8,1,x", 19200, 0, IXON | IXOFF}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TicketWithoutSettings, LeavesTheLineAsItIs) {
  SerialPty line;
  line.SetSpeed(38400, /*twoStopBits=*/true);
  const LineSettings own = line.Line();
  LineWatcher watcher(line);
  const JobOutcome outcome = RunJob(DefaultTicketTo(line.path()), kOptions);
  ASSERT_FALSE(outcome.message) << *outcome.message;
  std::this_thread::sleep_for(50ms);
  std::lock_guard lock(watcher.mutex);
  ASSERT_TRUE(watcher.atArrival);
  LineSettings expectedWhileSending = own;
  expectedWhileSending.oflag &= ~OPOST;  // only output post-processing is switched off
  EXPECT_EQ(*watcher.atArrival, expectedWhileSending);
  EXPECT_EQ(line.Line(), own);
  EXPECT_EQ(watcher.bytes, TicketBytes(DefaultTicketTo(line.path())));
}

TEST(TicketWithSettings, StoppedWhileHeldPutsTheLineBack) {
  SerialPty line;
  const LineSettings own = line.Line();
  int cancel[2];
  ASSERT_EQ(::pipe(cancel), 0);
  LineWatcher watcher(line);
  std::thread stopper([&] {
    for (int i = 0; i < 500; ++i) {
      {
        std::lock_guard lock(watcher.mutex);
        if (watcher.atArrival) break;
      }
      std::this_thread::sleep_for(5ms);
    }
    ASSERT_EQ(::write(cancel[1], "x", 1), 1);
  });
  ChannelOptions options = kOptions;
  options.cancelFd = cancel[0];
  // At 1200 bit/s the default ticket holds the line for about 6 s.
  const JobOutcome outcome = RunJob(DefaultTicketTo(line.path() + ":1200"), options);
  stopper.join();
  ::close(cancel[0]);
  ::close(cancel[1]);
  ASSERT_TRUE(outcome.message);
  EXPECT_NE(outcome.message->find(failures::Interrupted().description()), std::string::npos)
      << *outcome.message;
  EXPECT_LT(outcome.elapsed, 3000ms);
  EXPECT_EQ(line.Line(), own);
}

// --- Through the seam -------------------------------------------------------------------

// The real calls, with what the driver would do instead where a pty cannot show it.
class SerialSeam final : public SystemCalls {
 public:
  std::optional<std::uint32_t> speedTaken;  // what the driver sets, whatever is asked
  std::function<bool()> dsrUp;              // nullopt function: TIOCMGET as the port answers
  std::vector<LineSettings> sets;           // every SetLine, in order
  std::optional<Clock::time_point> firstWrite;
  int writes = 0;

  int SetLine(int fd, bool afterOutput, const LineSettings* line) override {
    sets.push_back(*line);
    return SystemCalls::SetLine(fd, afterOutput, line);
  }
  int GetLine(int fd, LineSettings* line) override {
    const int result = SystemCalls::GetLine(fd, line);
    if (result == 0 && speedTaken && sets.size() % 2 == 1) line->ospeed = *speedTaken;
    return result;
  }
  int IoctlInt(int fd, unsigned long request, int* value) override {
    if (request == TIOCMGET && dsrUp) {
      *value = dsrUp() ? TIOCM_DSR | TIOCM_CTS : TIOCM_CTS;
      return 0;
    }
    return SystemCalls::IoctlInt(fd, request, value);
  }
  ssize_t Write(int fd, const void* data, size_t size) override {
    if (!firstWrite) firstWrite = Clock::now();
    ++writes;
    return SystemCalls::Write(fd, data, size);
  }
};

TEST(SerialSeam, ParityAndDataBitsReachTheDriver) {
  SerialPty line;
  SerialSeam seam;
  const JobOutcome outcome = RunJob(DefaultTicketTo(line.path() + ":9600,o,7,2"), kOptions, seam);
  ASSERT_FALSE(outcome.message) << *outcome.message;
  ASSERT_EQ(seam.sets.size(), 2u) << "set once, put back once";
  EXPECT_EQ(seam.sets[0].cflag & (CSIZE | PARENB | PARODD | CSTOPB), CS7 | PARENB | PARODD | CSTOPB);
  EXPECT_EQ(seam.sets[1], line.Line());
}

struct SpeedRow {
  const char* name;
  std::uint32_t asked;
  std::uint32_t taken;
  bool accepted;
};
void PrintTo(const SpeedRow& row, std::ostream* out) { *out << row.name; }

class SpeedReadBack : public ::testing::TestWithParam<SpeedRow> {};

// A driver that rounds the speed to what its clock divides into is fine within 2 %; beyond
// that the printer would print junk, so nothing is sent.
TEST_P(SpeedReadBack, FarOffFailsBeforeAnyByte) {
  const SpeedRow& row = GetParam();
  SerialPty line;
  const LineSettings own = line.Line();
  SerialSeam seam;
  seam.speedTaken = row.taken;
  const std::string device = line.path() + ":" + std::to_string(row.asked);
  const JobOutcome outcome = RunJob(DefaultTicketTo(device), kOptions, seam);
  if (row.accepted) {
    EXPECT_FALSE(outcome.message) << *outcome.message;
    EXPECT_GT(seam.writes, 0);
  } else {
    ASSERT_TRUE(outcome.message);
    EXPECT_NE(outcome.message->find(
                  failures::SpeedNotTaken(device, row.asked, row.taken).description()),
              std::string::npos)
        << *outcome.message;
    EXPECT_EQ(seam.writes, 0) << "a byte went out at the wrong speed";
  }
  EXPECT_EQ(line.Line(), own);
}

INSTANTIATE_TEST_SUITE_P(
    Driver, SpeedReadBack,
    ::testing::Values(SpeedRow{"Exact", 115200, 115200, true},
                      SpeedRow{"RoundedWithinTwoPercent", 250000, 245000, true},
                      SpeedRow{"ClampedToTheUartsTop", 1000000, 115200, false},
                      SpeedRow{"JustPastTwoPercent", 100000, 97900, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SerialSeam, WaitsForDsrBeforeWriting) {
  SerialPty line;
  LineWatcher watcher(line);
  SerialSeam seam;
  const auto up = Clock::now() + 300ms;
  seam.dsrUp = [up] { return Clock::now() >= up; };
  const JobOutcome outcome = RunJob(DefaultTicketTo(line.path() + ":115200,n,8,1,d"), kOptions, seam);
  ASSERT_FALSE(outcome.message) << *outcome.message;
  ASSERT_TRUE(seam.firstWrite);
  EXPECT_GE(*seam.firstWrite, up) << "written while the printer held DSR down";
  // 32 bytes at a time, so that the printer's margin is not overrun when it drops DSR.
  EXPECT_GE(seam.writes, static_cast<int>(TicketBytes(DefaultTicketTo(line.path())).size() / 32));
  std::this_thread::sleep_for(50ms);
  std::lock_guard lock(watcher.mutex);
  EXPECT_EQ(watcher.bytes, TicketBytes(DefaultTicketTo(line.path() + ":115200,n,8,1,d")));
}

TEST(SerialSeam, DsrDownForTheStallTimeIsATimeOut) {
  SerialPty line;
  const LineSettings own = line.Line();
  SerialSeam seam;
  seam.dsrUp = [] { return false; };
  const ChannelOptions options{.stallTimeout = 300ms};
  const std::string device = line.path() + ":9600,n,8,1,p";
  const JobOutcome outcome = RunJob(DefaultTicketTo(device), options, seam);
  ASSERT_TRUE(outcome.message);
  EXPECT_NE(outcome.message->find(failures::TimedOut(device, 300ms).description()),
            std::string::npos)
      << *outcome.message;
  EXPECT_EQ(seam.writes, 0);
  EXPECT_LT(outcome.elapsed, 2000ms);
  EXPECT_EQ(line.Line(), own);
}

TEST(TicketWithSettings, DsrFlowOnAPortWithoutDsrIsRefused) {
  SerialPty line;  // a pty has no modem lines: TIOCMGET fails
  const LineSettings own = line.Line();
  const std::string device = line.path() + ":9600,n,8,1,d";
  const JobOutcome outcome = RunJob(DefaultTicketTo(device), kOptions);
  ASSERT_TRUE(outcome.message);
  EXPECT_NE(outcome.message->find(failures::NoDsrLine(device).description()), std::string::npos)
      << *outcome.message;
  EXPECT_EQ(line.Line(), own);
  EXPECT_EQ(line.pty().ReadMaster(1, 100ms), "");
}

TEST(TicketWithSettings, OneAndAHalfStopBitsOnlyWithFiveDataBits) {
  SerialPty line;
  const std::string device = line.path() + ":9600,n,8,1.5";
  const JobOutcome outcome = RunJob(DefaultTicketTo(device), kOptions);
  ASSERT_TRUE(outcome.message);
  EXPECT_NE(outcome.message->find("não aceita 1.5 bits de paragem com 8 bits de dados"),
            std::string::npos)
      << *outcome.message;
  EXPECT_EQ(line.pty().ReadMaster(1, 100ms), "");
}

}  // namespace
}  // namespace qrticket::testing
