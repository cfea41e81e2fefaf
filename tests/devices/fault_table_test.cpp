// The fault table: every way a device can fail a job, on real files, pseudo-terminals, FIFOs
// and loopback sockets. Each row: the message names the device as typed, the job ends within
// its bound, nothing stays open, and the next job to a healthy device prints.
#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <thread>

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
using failures::Stage;

// Short time-outs so the table runs quickly; the slack covers a loaded machine and sanitizers.
const ChannelOptions kOptions{.stallTimeout = 300ms, .connectTimeout = 300ms};
constexpr auto kSlack = 2000ms;

struct Fault {
  std::string device;                 // as the operator typed it
  Bytes dataText = kSampleDataText;
  std::string expected;               // the description the job must show
  std::chrono::milliseconds bound{0}; // the time-out that ends the job, if one does
  std::function<bool()> peerSawTheEnd;
  std::function<void()> afterCheck;   // row-specific checks once the job has ended
  std::shared_ptr<void> keepAlive;    // listeners, ptys, threads: gone after the row
  std::string skip;
};

struct FaultRow {
  const char* name;
  std::function<Fault()> make;
};

// A thread that is joined when the row ends.
struct Joined {
  std::thread thread;
  ~Joined() {
    if (thread.joinable()) thread.join();
  }
};

Fault PeerFault(PrinterBehaviour behaviour, std::function<std::string(const std::string&)> expected,
                std::chrono::milliseconds bound) {
  behaviour.receiveBuffer = 2048;  // so a long ticket cannot vanish into buffers
  auto printer = std::make_shared<LoopbackPrinter>(behaviour);
  Fault fault;
  fault.device = printer->DeviceName();
  fault.dataText = LongestDataText();
  fault.expected = expected(fault.device);
  fault.bound = bound;
  fault.peerSawTheEnd = [printer] { return printer->WaitFinished(3000ms); };
  fault.keepAlive = printer;
  return fault;
}

Fault TcpRefused() {
  auto port = std::make_shared<RefusingPort>();
  Fault fault;
  fault.device = port->DeviceName();
  fault.expected = failures::ConnectionRefused(fault.device).description();
  fault.keepAlive = port;
  return fault;
}

Fault TcpBacklogFull() {
  auto listener = std::make_shared<FullBacklogListener>();
  Fault fault;
  fault.device = listener->DeviceName();
  fault.expected = failures::ConnectTimedOut(fault.device, kOptions.connectTimeout).description();
  fault.bound = kOptions.connectTimeout;
  fault.keepAlive = listener;
  if (!listener->ok()) fault.skip = "the listener's backlog could not be filled here";
  return fault;
}

Fault TcpPeerNeverReads() {
  PrinterBehaviour never{.kind = PrinterBehaviour::Kind::NeverRead};
  Fault fault = PeerFault(
      never, [](const std::string& d) { return failures::TimedOut(d, kOptions.stallTimeout).description(); },
      kOptions.stallTimeout);
  return fault;
}

Fault TcpPeer(PrinterBehaviour::Kind kind) {
  PrinterBehaviour behaviour{.kind = kind, .afterBytes = 1000};
  return PeerFault(
      behaviour, [](const std::string& d) { return failures::ConnectionLost(d).description(); },
      0ms);
}

Fault PtyOtherEndClosesMidJob() {
  auto pty = std::make_shared<PtyPair>();
  struct State {
    std::shared_ptr<PtyPair> pty;
    Joined reader;
  };
  auto state = std::make_shared<State>();
  state->pty = pty;
  // Reads the start of the ticket, then hangs up; the ticket is larger than what a pty holds.
  state->reader.thread = std::thread([pty] {
    pty->ReadMaster(100, 5000ms);
    pty->CloseMaster();
  });
  Fault fault;
  fault.device = pty->slavePath();
  fault.dataText = LongestDataText();
  fault.expected = failures::FromErrno(EIO, fault.device, Stage::Write).description();
  fault.keepAlive = state;
  return fault;
}

Fault PtyNobodyReads() {
  auto pty = std::make_shared<PtyPair>();
  Fault fault;
  fault.device = pty->slavePath();
  fault.dataText = LongestDataText();
  fault.expected = failures::TimedOut(fault.device, kOptions.stallTimeout).description();
  fault.bound = kOptions.stallTimeout;
  fault.keepAlive = pty;
  return fault;
}

Fault FifoWithoutReader() {
  auto dir = std::make_shared<TempDir>();
  Fault fault;
  fault.device = dir->File("fifo");
  ::mkfifo(fault.device.c_str(), 0600);
  fault.expected = failures::NoReader(fault.device).description();
  fault.keepAlive = dir;
  return fault;
}

// A FIFO whose read end is handed to `reader`, run on a thread that the fault keeps (and
// joins); `reader` closes the read end when it leaves.
Fault FifoWithReader(int pipeSize, std::function<void(int readEnd)> reader) {
  struct State {
    TempDir dir;
    Joined reader;
  };
  auto state = std::make_shared<State>();
  Fault fault;
  fault.device = state->dir.File("fifo");
  ::mkfifo(fault.device.c_str(), 0600);
  const int readEnd = ::open(fault.device.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (pipeSize > 0) ::fcntl(readEnd, F_SETPIPE_SZ, pipeSize);
  state->reader.thread = std::thread([readEnd, reader = std::move(reader)] {
    reader(readEnd);
    ::close(readEnd);
  });
  fault.keepAlive = state;
  return fault;
}

// A FIFO with a reader that takes a little and goes; the pipe is made small so that the ticket
// cannot all fit in it. The write meets a gone reader: EPIPE, and SIGPIPE must not kill us.
Fault FifoReaderLeavesMidJob() {
  Fault fault = FifoWithReader(4096, [](int readEnd) {
    char buffer[100];
    for (int i = 0; i < 500; ++i) {  // up to 5 s
      if (::read(readEnd, buffer, sizeof buffer) > 0) break;
      std::this_thread::sleep_for(10ms);
    }
  });
  fault.dataText = LongestDataText();
  fault.expected = failures::ConnectionLost(fault.device).description();
  return fault;
}

// The whole ticket fits in the pipe; the reader leaves without reading any of it.
Fault FifoReaderLeavesWithBytesUnread() {
  const std::size_t ticketSize = TicketBytes(TicketTo("", kSampleDataText)).size();
  Fault fault = FifoWithReader(0, [ticketSize](int readEnd) {
    for (int i = 0; i < 500; ++i) {  // up to 5 s
      int unread = 0;
      ::ioctl(readEnd, FIONREAD, &unread);
      if (static_cast<std::size_t>(unread) >= ticketSize) break;
      std::this_thread::sleep_for(10ms);
    }
  });
  fault.expected = failures::NoReader(fault.device).description();
  return fault;
}

// A reader that keeps the FIFO open and never reads: the ticket fits in the pipe, and the job
// waits for the reader to take it.
Fault FifoReaderNeverReads() {
  struct State {
    TempDir dir;
    int readEnd = -1;
    ~State() {
      if (readEnd >= 0) ::close(readEnd);
    }
  };
  auto state = std::make_shared<State>();
  Fault fault;
  fault.device = state->dir.File("fifo");
  ::mkfifo(fault.device.c_str(), 0600);
  state->readEnd = ::open(fault.device.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  fault.expected = failures::TimedOut(fault.device, kOptions.stallTimeout).description();
  fault.bound = kOptions.stallTimeout;
  fault.keepAlive = state;
  return fault;
}

Fault DevFull() {
  Fault fault;
  fault.device = "/dev/full";
  fault.expected = failures::FromErrno(ENOSPC, fault.device, Stage::Write).description();
  return fault;
}

Fault Directory() {
  auto dir = std::make_shared<TempDir>();
  Fault fault;
  fault.device = dir->path().string();
  fault.expected = failures::FromErrno(EISDIR, fault.device, Stage::Open).description();
  fault.keepAlive = dir;
  return fault;
}

Fault ParentMissing() {
  auto dir = std::make_shared<TempDir>();
  Fault fault;
  fault.device = dir->File("no-such-folder/ticket.bin");
  fault.expected = failures::FromErrno(ENOENT, fault.device, Stage::Open).description();
  fault.keepAlive = dir;
  return fault;
}

// A first job holds the file and has written to it; the second must neither print nor empty it.
Fault BusyFile() {
  struct State {
    TempDir dir;
    std::unique_ptr<OutputDevice> firstJob;
  };
  auto state = std::make_shared<State>();
  Fault fault;
  fault.device = state->dir.File("held.bin");
  state->firstJob = OpenOutputDevice(fault.device, kOptions, SystemCalls::Real());
  state->firstJob->Write("first job");
  fault.expected = failures::FromErrno(EBUSY, fault.device, Stage::Open).description();
  fault.afterCheck = [state, device = fault.device] {
    EXPECT_EQ(ReadFileBytes(device), "first job") << "the held file was touched";
    state->firstJob->Write(", finished");
    EXPECT_NO_THROW(state->firstJob->Close());
    EXPECT_EQ(ReadFileBytes(device), "first job, finished");
  };
  fault.keepAlive = state;
  return fault;
}

Fault BusyPty() {
  struct State {
    PtyPair pty;
    std::unique_ptr<OutputDevice> firstJob;
  };
  auto state = std::make_shared<State>();
  Fault fault;
  fault.device = state->pty.slavePath();
  state->firstJob = OpenOutputDevice(fault.device, kOptions, SystemCalls::Real());
  fault.expected = failures::FromErrno(EBUSY, fault.device, Stage::Open).description();
  fault.afterCheck = [state] {
    state->firstJob->Write("first");
    EXPECT_NO_THROW(state->firstJob->Close());
    EXPECT_EQ(state->pty.ReadMaster(5, 2000ms), "first");
  };
  fault.keepAlive = state;
  return fault;
}

void PrintTo(const FaultRow& row, std::ostream* out) { *out << row.name; }

class FaultTable : public ::testing::TestWithParam<FaultRow> {};

// Fails naming the device, within its bound, releases it, and the next job prints.
TEST_P(FaultTable, FailsCleanly) {
  // A hang-up must end the job, not the process: these rows run with SIGPIPE's default action.
  struct sigaction pipeAction {};
  ASSERT_EQ(::sigaction(SIGPIPE, nullptr, &pipeAction), 0);
  ASSERT_EQ(pipeAction.sa_handler, SIG_DFL);

  Fault fault = GetParam().make();
  if (!fault.skip.empty()) GTEST_SKIP() << fault.skip;
  const auto before = OpenDescriptors();

  const JobOutcome outcome = RunJob(TicketTo(fault.device, fault.dataText), kOptions);

  ASSERT_TRUE(outcome.message.has_value()) << "the job did not fail";
  EXPECT_EQ(outcome.reports, 1);
  EXPECT_EQ(*outcome.message, kFailurePrefix + fault.expected);
  const std::string quoted = "\"" + fault.device + "\"";
  EXPECT_NE(outcome.message->find(quoted), std::string::npos);
  EXPECT_GE(outcome.elapsed, fault.bound);
  EXPECT_LT(outcome.elapsed, fault.bound + kSlack);
  if (fault.peerSawTheEnd) {
    EXPECT_TRUE(fault.peerSawTheEnd()) << "the connection stayed open";
  }
  EXPECT_EQ(Leaked(before, OpenDescriptors()), "") << "descriptors left open by the job";
  if (fault.afterCheck) fault.afterCheck();

  TempDir dir;
  const auto next = TicketTo(dir.File("next.bin"), kSampleDataText);
  EXPECT_EQ(RunJob(next, kOptions).message, std::nullopt);
  EXPECT_EQ(ReadFileBytes(next.deviceName), TicketBytes(next));

  LoopbackPrinter printer;
  const auto nextOnNetwork = TicketTo(printer.DeviceName(), kSampleDataText);
  EXPECT_EQ(RunJob(nextOnNetwork, kOptions).message, std::nullopt);
  ASSERT_TRUE(printer.WaitFinished(3000ms));
  EXPECT_EQ(printer.received(), TicketBytes(nextOnNetwork));
}

INSTANTIATE_TEST_SUITE_P(
    Devices, FaultTable,
    ::testing::Values(
        FaultRow{"TcpRefusedPort", TcpRefused},
        FaultRow{"TcpBacklogFullIsAConnectTimeOut", TcpBacklogFull},
        FaultRow{"TcpPeerNeverReadsALongTicket", TcpPeerNeverReads},
        FaultRow{"TcpPeerClosesMidTicket", [] { return TcpPeer(PrinterBehaviour::Kind::CloseAfter); }},
        FaultRow{"TcpPeerResetsMidTicket", [] { return TcpPeer(PrinterBehaviour::Kind::ResetAfter); }},
        FaultRow{"PtyOtherEndClosesMidJob", PtyOtherEndClosesMidJob},
        FaultRow{"PtyNobodyReadsALongTicket", PtyNobodyReads},
        FaultRow{"FifoWithoutReaderDoesNotHangAtOpen", FifoWithoutReader},
        FaultRow{"FifoReaderNeverReads", FifoReaderNeverReads},
        FaultRow{"FifoReaderLeavesMidJob", FifoReaderLeavesMidJob},
        FaultRow{"FifoReaderLeavesWithBytesUnread", FifoReaderLeavesWithBytesUnread},
        FaultRow{"DevFullIsDiskFull", DevFull},
        FaultRow{"Directory", Directory},
        FaultRow{"ParentFolderMissing", ParentMissing},
        FaultRow{"FileHeldByAnotherJob", BusyFile},
        FaultRow{"PtyHeldByAnotherJob", BusyPty}),
    [](const ::testing::TestParamInfo<FaultRow>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket::testing
