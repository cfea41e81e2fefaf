// Ctrl+C, SIGTERM and SIGHUP while the real binary waits on a device: the job ends as a failed
// job with exit 128 + the signal, the network connection is reset (the printer does not get the
// rest later), a terminal gets its settings back and shared descriptors keep their flags.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include "command_runner.h"
#include "devices/device_failures.h"
#include "job_runner.h"
#include "loopback_printer.h"
#include "temp_dir.h"
#include "ticket/ticket_job.h"
#include "unread_devices.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;

// Whether process `pid` has `path` open.
bool HasOpen(pid_t pid, const std::string& path) {
  std::error_code error;
  const std::string folder = "/proc/" + std::to_string(pid) + "/fd";
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    std::error_code ignored;
    if (std::filesystem::read_symlink(entry.path(), ignored) == path) return true;
  }
  return false;
}

// Polls `condition` every 10 ms for at most `bound`.
bool Eventually(const std::function<bool()>& condition, std::chrono::milliseconds bound) {
  const auto deadline = std::chrono::steady_clock::now() + bound;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

std::string LongText() { return std::string(32764, 'x'); }

struct SignalCase {
  std::vector<std::string> args;
  int stdoutFd = -1;
  std::function<bool(pid_t)> waiting;  // the job is waiting on its device
  std::string expectedErr;             // defaults to the interrupted failure
  std::function<void()> whileWaiting;  // checks made while the job waits
  std::function<void()> afterwards;
  std::shared_ptr<void> keepAlive;
};

struct SignalRow {
  const char* name;
  int signal;
  std::function<SignalCase()> make;
};
void PrintTo(const SignalRow& row, std::ostream* out) { *out << row.name; }

SignalCase NetworkPrinterThatNeverReads() {
  auto printer = std::make_shared<LoopbackPrinter>(
      PrinterBehaviour{.kind = PrinterBehaviour::Kind::NeverRead, .receiveBuffer = 2048});
  SignalCase c;
  c.args = {"--device", printer->DeviceName(), "--text", LongText(), "--timeout", "30"};
  c.waiting = [printer](pid_t) { return printer->WaitConnected(10s); };
  c.afterwards = [printer] {
    ASSERT_TRUE(printer->WaitFinished(3000ms));
    EXPECT_TRUE(printer->sawReset()) << "closed normally: the printer would print the rest";
  };
  c.keepAlive = printer;
  return c;
}

SignalCase PtyNobodyReads() {
  auto pty = std::make_shared<KeptPty>();
  const tcflag_t before = pty->OutputFlags();
  SignalCase c;
  c.args = {"--device", pty->pty.slavePath(), "--text", LongText(), "--timeout", "30"};
  c.waiting = [pty](pid_t) { return Readable(pty->pty.master()); };
  c.whileWaiting = [pty] { EXPECT_EQ(pty->OutputFlags() & OPOST, 0u) << "not raw for the job"; };
  c.afterwards = [pty, before] { EXPECT_EQ(pty->OutputFlags(), before) << "settings not restored"; };
  c.keepAlive = pty;
  return c;
}

// Standard output into a pipe nobody reads, shared with the test (the same open file
// description): its flags must never change, during the job or after it.
SignalCase StandardOutputPipeNobodyReads() {
  struct Pipe {
    int fds[2] = {-1, -1};
    Pipe() {
      if (::pipe2(fds, O_CLOEXEC) == 0) ::fcntl(fds[1], F_SETPIPE_SZ, 4096);
    }
    ~Pipe() {
      ::close(fds[0]);
      ::close(fds[1]);
    }
  };
  auto pipe = std::make_shared<Pipe>();
  SignalCase c;
  c.args = {"--device", "-", "--text", LongText(), "--timeout", "30"};
  c.stdoutFd = pipe->fds[1];
  c.waiting = [pipe](pid_t) { return Readable(pipe->fds[0]); };
  const auto blocking = [pipe] {
    EXPECT_EQ(::fcntl(pipe->fds[1], F_GETFL) & O_NONBLOCK, 0) << "the shared pipe was changed";
  };
  c.whileWaiting = blocking;
  c.afterwards = blocking;
  c.keepAlive = pipe;
  return c;
}

// Standard output on a terminal nobody reads: raw while the job runs, as before afterwards.
SignalCase StandardOutputTerminal() {
  struct Terminal {
    KeptPty kept;
    int slave = ::open(kept.pty.slavePath().c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    ~Terminal() { ::close(slave); }
  };
  auto terminal = std::make_shared<Terminal>();
  const tcflag_t before = terminal->kept.OutputFlags();
  SignalCase c;
  c.args = {"--device", "-", "--text", LongText(), "--timeout", "30"};
  c.stdoutFd = terminal->slave;
  c.waiting = [terminal](pid_t) { return Readable(terminal->kept.pty.master()); };
  c.whileWaiting = [terminal] {
    EXPECT_EQ(::fcntl(terminal->slave, F_GETFL) & O_NONBLOCK, 0);
  };
  c.afterwards = [terminal, before] {
    EXPECT_EQ(terminal->kept.OutputFlags(), before) << "terminal settings not restored";
    EXPECT_EQ(::fcntl(terminal->slave, F_GETFL) & O_NONBLOCK, 0);
  };
  c.keepAlive = terminal;
  return c;
}

// A FIFO whose reader keeps it open and never reads: the job waits for it to be read.
SignalCase FifoReaderNeverReads() {
  auto fifo = std::make_shared<UnreadFifo>();
  SignalCase c;
  c.args = {"--device", fifo->path, "--timeout", "30"};
  c.waiting = [fifo](pid_t) { return Readable(fifo->reader); };
  c.keepAlive = fifo;
  return c;
}

// --text-file on a FIFO nobody writes to: interrupted before any job.
SignalCase TextFileNobodyWrites() {
  auto dir = std::make_shared<TempDir>();
  const std::string fifo = dir->File("text");
  ::mkfifo(fifo.c_str(), 0600);
  SignalCase c;
  c.args = {"--device", dir->File("ticket.bin"), "--text-file", fifo, "--timeout", "30"};
  c.waiting = [fifo](pid_t pid) { return HasOpen(pid, fifo); };
  c.expectedErr = "qrticket: a leitura do ficheiro '" + fifo + "' foi interrompida\n";
  c.afterwards = [dir] { EXPECT_FALSE(std::filesystem::exists(dir->File("ticket.bin"))); };
  c.keepAlive = dir;
  return c;
}

// --status waiting for an answer that does not come.
SignalCase StatusNobodyAnswers() {
  auto printer = std::make_shared<LoopbackPrinter>(
      PrinterBehaviour{.kind = PrinterBehaviour::Kind::NeverRead});
  SignalCase c;
  c.args = {"--device", printer->DeviceName(), "--status"};
  c.waiting = [printer](pid_t) { return printer->WaitConnected(10s); };
  c.expectedErr = "Falha ao pedir o estado: " + failures::Interrupted().description() + "\n";
  c.keepAlive = printer;
  return c;
}

class Signals : public ::testing::TestWithParam<SignalRow> {};

TEST_P(Signals, EndTheJobAsAFailureAndReleaseTheDevice) {
  SignalCase c = GetParam().make();
  const int signal = GetParam().signal;
  bool sawWaiting = false;
  const auto start = std::chrono::steady_clock::now();
  const CommandRun run = RunQrticket(
      c.args, {.stdoutFd = c.stdoutFd, .whileRunning = [&](pid_t pid) {
                 sawWaiting = Eventually([&] { return c.waiting(pid); }, 10s);
                 std::this_thread::sleep_for(100ms);  // well into its wait
                 if (c.whileWaiting) c.whileWaiting();
                 ::kill(pid, signal);
               }});
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_TRUE(sawWaiting) << "the job never got to wait on its device";
  EXPECT_EQ(run.exitCode, 128 + signal) << run.err;
  EXPECT_FALSE(run.killed) << "the signal killed the process instead of ending the job";
  const std::string expected = c.expectedErr.empty()
                                   ? kFailurePrefix + failures::Interrupted().description() + "\n"
                                   : c.expectedErr;
  EXPECT_EQ(run.err, expected);
  EXPECT_LT(elapsed, 15s) << "the signal did not end the wait";
  if (c.afterwards) c.afterwards();
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, Signals,
    ::testing::Values(SignalRow{"CtrlCOnANetworkPrinterThatNeverReads", SIGINT,
                                NetworkPrinterThatNeverReads},
                      SignalRow{"SigtermOnAPtyNobodyReads", SIGTERM, PtyNobodyReads},
                      SignalRow{"SighupOnStandardOutputIntoAStalledPipe", SIGHUP,
                                StandardOutputPipeNobodyReads},
                      SignalRow{"CtrlCOnStandardOutputOnATerminal", SIGINT,
                                StandardOutputTerminal},
                      SignalRow{"SigtermOnAFifoNobodyReads", SIGTERM, FifoReaderNeverReads},
                      SignalRow{"CtrlCWhileReadingTheTextFile", SIGINT, TextFileNobodyWrites},
                      SignalRow{"CtrlCWhileAskingTheStatus", SIGINT, StatusNobodyAnswers}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket::testing
