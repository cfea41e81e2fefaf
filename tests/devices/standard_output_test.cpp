// "-" shares standard output with other programs: a pipe that another writer fills too must
// keep working for that writer (its writes block, never EAGAIN), and the ticket still arrives
// whole and in order, both through a description of the job's own and, where standard output
// cannot be opened again, by waiting for room on the shared one.
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <thread>

#include <gtest/gtest.h>

#include "command_runner.h"
#include "devices/device_failures.h"
#include "job_runner.h"
#include "ticket/ticket_job.h"
#include "ticket_bytes.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;

// The other writer's bytes; no ticket made of 'x' data holds this byte.
constexpr char kOther = '\xFE';

// A pipe with a slow reader and a second writer on the very descriptor the job gets as its
// standard output.
class SharedPipe {
 public:
  SharedPipe() { EXPECT_EQ(::pipe2(fds_, O_CLOEXEC), 0); }
  ~SharedPipe() {
    Join();
    CloseWriteEnd();
    ::close(fds_[0]);
  }
  int writeEnd() const { return fds_[1]; }

  // Starts the reader (slow: 4 KiB every 5 ms) and the other writer (256 KiB in blocking writes
  // of 512 bytes, each atomic in a pipe).
  void Start() {
    reader_ = std::thread([this] {
      char buffer[4096];
      for (;;) {
        const ssize_t got = ::read(fds_[0], buffer, sizeof buffer);
        if (got <= 0) return;
        received_.append(buffer, static_cast<std::size_t>(got));
        std::this_thread::sleep_for(5ms);
      }
    });
    writer_ = std::thread([this] {
      const std::string block(512, kOther);
      for (int i = 0; i < 512; ++i) {
        const ssize_t wrote = ::write(fds_[1], block.data(), block.size());
        if (wrote != static_cast<ssize_t>(block.size())) {
          writerErrno_ = wrote < 0 ? errno : -1;
          return;
        }
      }
    });
  }

  // Once the job's side has ended: lets the other writer finish, closes our write end and
  // waits for the reader to see the end.
  void Finish() {
    if (writer_.joinable()) writer_.join();
    CloseWriteEnd();
    Join();
  }

  int writerErrno() const { return writerErrno_; }
  // What arrived from the job: everything but the other writer's bytes, in order.
  std::string FromTheJob() const {
    std::string job;
    for (const char c : received_)
      if (c != kOther) job += c;
    return job;
  }
  std::size_t FromTheOther() const { return received_.size() - FromTheJob().size(); }

 private:
  void Join() {
    if (writer_.joinable()) writer_.join();
    if (reader_.joinable()) reader_.join();
  }
  void CloseWriteEnd() {
    if (fds_[1] >= 0) ::close(fds_[1]);
    fds_[1] = -1;
  }

  int fds_[2] = {-1, -1};
  std::thread reader_, writer_;
  std::string received_;
  std::atomic<int> writerErrno_{0};
};

const Bytes kData(32764, 'x');

TEST(SharedStandardOutput, TheOtherWriterKeepsWritingAndTheTicketArrivesWhole) {
  SharedPipe pipe;
  const CommandRun run = RunQrticket({"--device", "-", "--text", kData, "--timeout", "10"},
                                     {.stdoutFd = pipe.writeEnd(), .whileRunning = [&](pid_t) {
                                        pipe.Start();
                                      }});
  pipe.Finish();
  EXPECT_EQ(run.exitCode, 3) << "delivered, too long for a symbol: " << run.err;
  EXPECT_EQ(pipe.writerErrno(), 0) << "the other writer's write failed: "
                                   << std::strerror(pipe.writerErrno());
  EXPECT_EQ(pipe.FromTheOther(), 512u * 512u);
  EXPECT_TRUE(pipe.FromTheJob() == TicketBytes(TicketTo("", kData)))
      << "the ticket arrived cut, repeated or out of order";
}

// The real system calls, except that standard output cannot be opened a second time (no /proc,
// a device that takes one opener): the job has to write to the shared descriptor itself.
class NoReopening : public SystemCalls {
 public:
  int Open(const char* path, int flags, mode_t mode) override {
    if (std::string_view(path) == "/proc/self/fd/1") {
      errno = ENOENT;
      return -1;
    }
    return SystemCalls::Open(path, flags, mode);
  }
};

// Runs a job to "-" in a child process whose standard output is `stdoutFd`, without reopening.
// Returns the child's exit code: 0 delivered, 1 failed (the message written to `messageFd`).
pid_t StartJobOnSharedDescriptor(int stdoutFd, const ChannelOptions& options, int messageFd) {
  const pid_t child = ::fork();
  if (child != 0) return child;
  ::dup2(stdoutFd, STDOUT_FILENO);
  NoReopening sys;
  const JobOutcome outcome = RunJob(TicketTo("-", kData), options, sys);
  if (outcome.message) {
    ssize_t ignored = ::write(messageFd, outcome.message->data(), outcome.message->size());
    (void)ignored;
  }
  ::_exit(outcome.message ? 1 : 0);
}

TEST(SharedStandardOutput, WithoutADescriptorOfItsOwnTheJobWaitsForRoom) {
  SharedPipe pipe;
  const pid_t child = StartJobOnSharedDescriptor(
      pipe.writeEnd(), {.stallTimeout = 10000ms, .connectTimeout = 1000ms}, STDERR_FILENO);
  pipe.Start();  // threads only after fork
  const std::optional<int> status = WaitForChild(child, 20s);
  pipe.Finish();
  ASSERT_TRUE(status);
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
  EXPECT_EQ(pipe.writerErrno(), 0) << std::strerror(pipe.writerErrno());
  EXPECT_TRUE(pipe.FromTheJob() == TicketBytes(TicketTo("", kData)));
}

TEST(SharedStandardOutput, WithoutADescriptorOfItsOwnAPipeNobodyReadsTimesOut) {
  int fds[2];
  ASSERT_EQ(::pipe2(fds, O_CLOEXEC), 0);
  ::fcntl(fds[1], F_SETPIPE_SZ, 4096);
  int messages[2];
  ASSERT_EQ(::pipe2(messages, O_CLOEXEC), 0);
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = StartJobOnSharedDescriptor(
      fds[1], {.stallTimeout = 300ms, .connectTimeout = 300ms}, messages[1]);
  const std::optional<int> status = WaitForChild(child, 20s);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  ::close(messages[1]);
  char buffer[512];
  const ssize_t got = ::read(messages[0], buffer, sizeof buffer);
  ASSERT_TRUE(status);
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 1);
  EXPECT_EQ(std::string(buffer, got > 0 ? got : 0),
            kFailurePrefix + failures::TimedOut("-", 300ms).description());
  EXPECT_EQ(::fcntl(fds[1], F_GETFL) & O_NONBLOCK, 0);
  EXPECT_LT(elapsed, 10s);
  for (const int fd : {fds[0], fds[1], messages[0]}) ::close(fd);
}

}  // namespace
}  // namespace qrticket::testing
