// Interrupted and short writes through the system call seam: the job carries on where it
// stopped and no byte arrives twice; a refusal ends it, and a failing close does not hide an
// earlier failure. The device underneath is real (a file or a loopback printer).
#include <signal.h>
#include <unistd.h>

#include <deque>

#include <gtest/gtest.h>

#include "devices/device_failures.h"
#include "job_runner.h"
#include "loopback_printer.h"
#include "temp_dir.h"
#include "ticket/ticket_defaults.h"
#include "ticket/ticket_job.h"
#include "ticket_bytes.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;
using failures::Stage;

// What one write (or send) call does instead of, or before, the real call.
struct Step {
  enum Kind { Eintr, Eagain, Eio, NothingTaken, Short } kind;
  std::size_t limit = 0;  // for Short: at most this many bytes go through
};
Step Cut(std::size_t n) { return {Step::Short, n}; }

class ScriptedCalls : public SystemCalls {
 public:
  std::deque<Step> writes;     // consumed one per write/send call; then the real calls
  std::deque<int> pollErrors;  // errno to fail poll with, one per call; then the real calls
  bool closeFails = false;     // close() releases the descriptor but reports EIO
  bool openInterrupted = false;
  int writeCalls = 0;

  int Open(const char* path, int flags, mode_t mode) override {
    if (std::exchange(openInterrupted, false)) return Fail(EINTR);
    return SystemCalls::Open(path, flags, mode);
  }
  ssize_t Write(int fd, const void* data, size_t size) override {
    ++writeCalls;
    return Scripted(size, [&](size_t n) { return SystemCalls::Write(fd, data, n); });
  }
  ssize_t Send(int fd, const void* data, size_t size, int flags) override {
    return Scripted(size, [&](size_t n) { return SystemCalls::Send(fd, data, n, flags); });
  }
  int Poll(pollfd* fds, nfds_t count, int timeoutMs) override {
    if (count > 0 && !pollErrors.empty()) {
      const int error = pollErrors.front();
      pollErrors.pop_front();
      return Fail(error);
    }
    return SystemCalls::Poll(fds, count, timeoutMs);
  }
  int Close(int fd) override {
    const int result = SystemCalls::Close(fd);
    return closeFails ? Fail(EIO) : result;
  }

 private:
  static int Fail(int error) {
    errno = error;
    return -1;
  }
  template <typename Real>
  ssize_t Scripted(size_t size, Real real) {
    if (writes.empty()) return real(size);
    const Step step = writes.front();
    writes.pop_front();
    switch (step.kind) {
      case Step::Eintr: return Fail(EINTR);
      case Step::Eagain: return Fail(EAGAIN);
      case Step::Eio: return Fail(EIO);
      case Step::NothingTaken: return 0;
      case Step::Short: return real(std::min(size, step.limit));
    }
    return Fail(EINVAL);
  }
};

struct SeamRow {
  const char* name;
  std::vector<Step> writes;
  std::vector<int> pollErrors = {};
  bool closeFails = false;
  bool openInterrupted = false;
  bool network = false;
  // Expected: the whole ticket, or a failure of this errno after `delivered` bytes.
  int failure = 0;
  Stage stage = Stage::Write;
  std::size_t delivered = 0;
  bool everAgain = false;  // the script repeats EAGAIN for ever
};

void PrintTo(const SeamRow& row, std::ostream* out) { *out << row.name; }

class InterruptedWrites : public ::testing::TestWithParam<SeamRow> {};

const ChannelOptions kOptions{.stallTimeout = 300ms, .connectTimeout = 1000ms};

TEST_P(InterruptedWrites, ContinueWhereTheyStoppedAndNeverRepeat) {
  const SeamRow& row = GetParam();
  ScriptedCalls sys;
  sys.writes.assign(row.writes.begin(), row.writes.end());
  if (row.everAgain) sys.writes.assign(100000, Step{Step::Eagain});
  sys.pollErrors.assign(row.pollErrors.begin(), row.pollErrors.end());
  sys.closeFails = row.closeFails;
  sys.openInterrupted = row.openInterrupted;

  TempDir dir;
  LoopbackPrinter printer;
  const std::string device = row.network ? printer.DeviceName() : dir.File("ticket.bin");
  const auto settings = TicketTo(device, kSampleDataText);
  const Bytes ticket = TicketBytes(settings);

  const JobOutcome outcome = RunJob(settings, kOptions, sys);

  Bytes arrived;
  if (row.network) {
    ASSERT_TRUE(printer.WaitFinished(3000ms));
    arrived = printer.received();
  } else {
    arrived = ReadFileBytes(device);
  }
  if (row.everAgain) {
    EXPECT_EQ(outcome.message,
              kFailurePrefix + failures::TimedOut(device, kOptions.stallTimeout).description());
    EXPECT_GE(outcome.elapsed, kOptions.stallTimeout);
    EXPECT_LT(outcome.elapsed, kOptions.stallTimeout + 2000ms);
    EXPECT_EQ(arrived, "");
    // A file always polls "ready", like a driver without poll support: no busy loop.
    EXPECT_LT(sys.writeCalls, 100) << "a device that refuses while saying ready was hammered";
  } else if (row.failure != 0) {
    EXPECT_EQ(outcome.message,
              kFailurePrefix + failures::FromErrno(row.failure, device, row.stage).description());
    EXPECT_EQ(Hex(arrived), Hex(ticket.substr(0, row.delivered)));
  } else {
    EXPECT_EQ(outcome.message, std::nullopt);
    EXPECT_EQ(Hex(arrived), Hex(ticket));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Seam, InterruptedWrites,
    ::testing::Values(
        SeamRow{"InterruptedBeforeAnyByte", {{Step::Eintr}}},
        SeamRow{"ShortWritesOf1And7AndAPage", {Cut(1), Cut(7), Cut(4096)}},
        SeamRow{"InterruptedBetweenShortWrites",
                {Cut(3), {Step::Eintr}, Cut(5), {Step::Eintr}, {Step::Eintr}, Cut(1)}},
        SeamRow{"FullThenRoom", {{Step::Eagain}, Cut(2), {Step::Eagain}}},
        SeamRow{"NothingTakenThenRoom", {{Step::NothingTaken}, Cut(9)}},
        SeamRow{"WaitForRoomInterrupted", {{Step::Eagain}}, {EINTR, EINTR}},
        SeamRow{"OpenInterrupted", {}, {}, false, true},
        SeamRow{"NetworkShortAndInterruptedSends",
                {Cut(5), {Step::Eintr}, {Step::Eagain}, Cut(300), {Step::NothingTaken}}, {}, false,
                false, true},
        SeamRow{.name = "DeviceErrorAfter100Bytes", .writes = {Cut(100), {Step::Eio}},
                .failure = EIO, .delivered = 100},
        SeamRow{.name = "NetworkDeviceErrorAfter100Bytes", .writes = {Cut(100), {Step::Eio}},
                .network = true, .failure = EIO, .delivered = 100},
        SeamRow{.name = "WaitForRoomFails", .writes = {Cut(10), {Step::Eagain}},
                .pollErrors = {ENOMEM}, .failure = ENOMEM, .delivered = 10},
        SeamRow{.name = "FullForEverIsATimeOut", .writes = {}, .everAgain = true},
        SeamRow{.name = "CloseFailsAfterEveryByte", .writes = {}, .closeFails = true,
                .failure = EIO, .stage = Stage::Close, .delivered = 100000},
        SeamRow{.name = "CloseFailureDoesNotHideTheWriteFailure",
                .writes = {Cut(10), {Step::Eio}}, .closeFails = true, .failure = EIO,
                .stage = Stage::Write, .delivered = 10}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket::testing
