// qrticket.exe under Wine beside the Linux qrticket: the same bytes for the same options (the
// limits ticket of --probe too), the same facts and verdicts from --check, a loopback network
// printer, a COM port that is a pseudo-terminal of this test (Wine maps the
// port to it), standard output, and clean failures on a missing port, a folder and a refused
// connection. Runs in the prefix that wine_prefix.sh made (QRTICKET_WINE_ROOT).
#include <algorithm>
#include <fcntl.h>
#include <signal.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <thread>

#include <gtest/gtest.h>

#include "run_program.h"
#include "fake_printer.h"
#include "loopback_printer.h"
#include "pty_pair.h"
#include "temp_dir.h"

extern char** environ;

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

struct ProgramRun {
  int exitCode = -1;
  std::string out;
  std::string err;
  std::chrono::milliseconds elapsed{0};
};

// Where a program's standard handles go; -1 keeps the default (stdin /dev/null, stdout and
// stderr into files read back into ProgramRun). `whileRunning` is called once it has started,
// with its process id, and may wait; its return is not waited for beyond the bound.
struct Spawn {
  int stdinFd = -1;
  int stdoutFd = -1;
  int stderrFd = -1;
  std::function<void(pid_t)> whileRunning;
};

// Runs `argv` in `cwd`; killed after 60 s.
ProgramRun RunProgram(const std::vector<std::string>& argv, const std::string& cwd,
                      const Spawn& how = {}) {
  TempDir capture;
  const std::string outPath = capture.File("out"), errPath = capture.File("err");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (how.stdinFd >= 0) posix_spawn_file_actions_adddup2(&actions, how.stdinFd, 0);
  else posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (how.stdoutFd >= 0) posix_spawn_file_actions_adddup2(&actions, how.stdoutFd, 1);
  else posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT, 0600);
  if (how.stderrFd >= 0) posix_spawn_file_actions_adddup2(&actions, how.stderrFd, 2);
  else posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT, 0600);
  if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
  std::vector<std::string> copy = argv;
  std::vector<char*> pointers;
  for (auto& a : copy) pointers.push_back(a.data());
  pointers.push_back(nullptr);
  ProgramRun run;
  pid_t child = -1;
  const auto started = Clock::now();
  const int spawned = posix_spawn(&child, pointers[0], &actions, nullptr, pointers.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    ADD_FAILURE() << "cannot start " << argv[0];
    return run;
  }
  if (how.whileRunning) how.whileRunning(child);
  int status = 0;
  while (::waitpid(child, &status, WNOHANG) == 0) {
    if (Clock::now() - started > 60s) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      ADD_FAILURE() << argv[1] << " did not end within 60 s";
      return run;
    }
    std::this_thread::sleep_for(5ms);
  }
  run.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  if (how.stdoutFd < 0) run.out = ReadFileBytes(outPath);
  if (how.stderrFd < 0) run.err = ReadFileBytes(errPath);
  return run;
}

// Windows writes its messages with CR LF line ends; the words are what is compared.
std::string WithoutCarriageReturns(std::string text) {
  std::erase(text, '\r');
  return text;
}

class Wine : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* root = std::getenv("QRTICKET_WINE_ROOT");
    const char* prefix = std::getenv("WINEPREFIX");
    if (root == nullptr) GTEST_SKIP() << "runs in the prefix of wine_prefix_create (ctest)";
    // Wine is never started on a prefix other than the one the tests made.
    ASSERT_TRUE(prefix != nullptr && fs::path(prefix) == fs::path(root) / "prefix");
    root_ = root;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    std::replace(name.begin(), name.end(), '/', '_');
    work_ = root_ / "exchange" / name;  // T:\<name> for the Windows program
    fs::remove_all(work_);
    fs::create_directories(work_);
    windowsWork_ = "T:\\" + name;
  }

  // A file of this test's folder: its Linux path, and the same file as Windows sees it.
  std::string LinuxPath(const std::string& file) const { return (work_ / file).string(); }
  std::string WindowsPath(const std::string& file) const { return windowsWork_ + "\\" + file; }

  ProgramRun Windows(const std::vector<std::string>& args, const Spawn& how = {}) const {
    std::vector<std::string> argv = {QRTICKET_WINE64, QRTICKET_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProgram(argv, work_.string(), how);
  }
  ProgramRun Windows(const std::vector<std::string>& args, int stdoutFd) const {
    Spawn how;
    how.stdoutFd = stdoutFd;
    return Windows(args, how);
  }

  ProgramRun Linux(const std::vector<std::string>& args, const Spawn& how = {}) const {
    std::vector<std::string> argv = {QRTICKET_BINARY};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProgram(argv, work_.string(), how);
  }

  // The ticket the Linux build writes for `options` (to a file), ending with `exitCode`.
  std::string LinuxTicket(std::vector<std::string> options, int exitCode = 0) const {
    options.insert(options.begin(), {"--device", LinuxPath("linux.bin")});
    const ProgramRun run = Linux(options);
    EXPECT_EQ(run.exitCode, exitCode) << run.err;
    return ReadFileBytes(LinuxPath("linux.bin"));
  }

  // The longest text a ticket carries, as a UTF-8 file in this test's folder.
  void WriteLongText(const std::string& file) const {
    std::string text;
    for (int i = 0; text.size() < 32764; ++i) text += "Olá-" + std::to_string(i) + " ";
    std::ofstream(LinuxPath(file), std::ios::binary) << text.substr(0, 32764 - 16);
  }

  fs::path root_;
  fs::path work_;
  std::string windowsWork_;
};

// The same options on both builds; "{text}" stands for the long text file's path.
struct SameBytesRow {
  const char* name;
  std::vector<std::string> options;
};
void PrintTo(const SameBytesRow& row, std::ostream* out) { *out << row.name; }

class SameBytes : public Wine, public ::testing::WithParamInterface<SameBytesRow> {};

std::vector<std::string> WithTextFile(std::vector<std::string> options, const std::string& path) {
  for (auto& option : options)
    if (option == "{text}") option = path;
  return options;
}

TEST_P(SameBytes, AsTheLinuxBuild) {
  WriteLongText("long.txt");
  std::vector<std::string> onLinuxArgs = WithTextFile(GetParam().options, LinuxPath("long.txt"));
  onLinuxArgs.insert(onLinuxArgs.begin(), {"--device", LinuxPath("linux.bin")});
  std::vector<std::string> windows = WithTextFile(GetParam().options, WindowsPath("long.txt"));
  windows.insert(windows.begin(), {"--device", WindowsPath("windows.bin")});
  const ProgramRun onLinux = Linux(onLinuxArgs);
  const ProgramRun onWindows = Windows(windows);
  EXPECT_EQ(onWindows.exitCode, onLinux.exitCode) << onWindows.err;
  EXPECT_EQ(WithoutCarriageReturns(onWindows.err),
            [&] {  // the device is named as typed, which differs
              std::string err = onLinux.err;
              const auto at = err.find(LinuxPath("linux.bin"));
              if (at != std::string::npos) err.replace(at, LinuxPath("linux.bin").size(), WindowsPath("windows.bin"));
              return err;
            }());
  const std::string linuxBytes = ReadFileBytes(LinuxPath("linux.bin"));
  const std::string windowsBytes = ReadFileBytes(LinuxPath("windows.bin"));
  EXPECT_EQ(windowsBytes.size(), linuxBytes.size());
  EXPECT_TRUE(windowsBytes == linuxBytes) << "first difference at byte "
      << std::distance(linuxBytes.begin(), std::mismatch(linuxBytes.begin(), linuxBytes.end(),
                                                         windowsBytes.begin(), windowsBytes.end()).first);
}

INSTANTIATE_TEST_SUITE_P(
    Options, SameBytes,
    ::testing::Values(
        SameBytesRow{"Defaults", {}},
        SameBytesRow{"Woosim", {"--woosim"}},
        SameBytesRow{"PageModeCentred", {"--page-mode", "--centred"}},
        SameBytesRow{"SizeModelLevel", {"--size", "7.5", "--model", "2", "--error-level", "0"}},
        SameBytesRow{"NonAsciiText", {"--text", "Olá € ção ½ Ł"}},  // Ł is not in Windows-1252
        SameBytesRow{"EmptyText", {"--text", ""}},
        SameBytesRow{"LongestTextFromAFile", {"--text-file", "{text}", "--woosim"}},
        SameBytesRow{"SizeOverflowFailsAlike", {"--size", "40000"}},
        SameBytesRow{"NoListPosition", {"--model", "-1", "--error-level", "-1"}},
        // The limits ticket: its symbols and the raster image drawn with libqrencode.
        SameBytesRow{"Probe", {"--probe"}},
        SameBytesRow{"Probe58mmCentred",
                     {"--probe", "--paper", "58", "--size", "5", "--error-level", "2", "--centred"}},
        SameBytesRow{"ProbeWoosim", {"--probe", "--woosim"}},
        SameBytesRow{"ProbeMicroQr", {"--probe", "--model", "2", "--error-level", "0", "--size", "4"}},
        SameBytesRow{"ProbeModel1LevelH", {"--probe", "--model", "0", "--error-level", "3"}},
        SameBytesRow{"ProbeRefusedForAnIgnoredSize", {"--probe", "--size", "17"}},
        // The symbol as the program's image (GS v 0), and a refusal before anything is written.
        SameBytesRow{"Raster", {"--raster"}},
        SameBytesRow{"RasterCentredLevelH", {"--raster", "--centred", "--size", "4", "--error-level", "3"}},
        SameBytesRow{"RasterMicroQrRefusedAlike", {"--raster", "--model", "2"}}),
    [](const auto& info) { return std::string(info.param.name); });

// --check on both builds: the same facts on standard output, the same verdict on standard
// error, the same exit code.
class SameFacts : public Wine, public ::testing::WithParamInterface<SameBytesRow> {};

TEST_P(SameFacts, AsTheLinuxBuild) {
  WriteLongText("long.txt");
  std::vector<std::string> onLinuxArgs = WithTextFile(GetParam().options, LinuxPath("long.txt"));
  std::vector<std::string> windows = WithTextFile(GetParam().options, WindowsPath("long.txt"));
  onLinuxArgs.insert(onLinuxArgs.begin(), "--check");
  windows.insert(windows.begin(), "--check");
  const ProgramRun onLinux = Linux(onLinuxArgs);
  const ProgramRun onWindows = Windows(windows);
  ASSERT_NE(onLinux.out + onLinux.err, "");
  EXPECT_EQ(onWindows.exitCode, onLinux.exitCode) << onWindows.err;
  EXPECT_EQ(WithoutCarriageReturns(onWindows.out), onLinux.out);
  EXPECT_EQ(WithoutCarriageReturns(onWindows.err), onLinux.err);
}

INSTANTIATE_TEST_SUITE_P(
    Options, SameFacts,
    ::testing::Values(
        SameBytesRow{"Defaults", {}},
        SameBytesRow{"Woosim", {"--woosim"}},
        SameBytesRow{"Model1LevelH", {"--model", "0", "--error-level", "3"}},
        SameBytesRow{"TooLongForMicroQr", {"--model", "2"}},
        SameBytesRow{"MicroQrHasNoLevelH", {"--model", "2", "--error-level", "3", "--text", "abc"}},
        SameBytesRow{"TooWideFor80mm", {"--size", "16", "--error-level", "3"}},
        SameBytesRow{"IgnoredSize", {"--size", "0"}},
        SameBytesRow{"SizeNotAByte", {"--size", "300"}},
        SameBytesRow{"SizeOutside16Bits", {"--size", "70000"}},
        SameBytesRow{"NoListPosition", {"--model", "-1", "--error-level", "-1"}},
        SameBytesRow{"ReaderShowsOtherCharacters", {"--text", "Olá € “aspas” — fim"}},
        SameBytesRow{"EmptyText", {"--text", ""}},
        SameBytesRow{"LongestTextFromAFile", {"--text-file", "{text}", "--error-level", "0"}},
        SameBytesRow{"Raster", {"--raster"}},
        SameBytesRow{"RasterTooWideFor80mm", {"--raster", "--size", "11"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Wine, StandardOutputCarriesTheSameBytes) {
  const int out = ::open(LinuxPath("stdout.bin").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(out, 0);
  const ProgramRun run = Windows({"--device", "-", "--text", "Olá\n€"}, out);
  ::close(out);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(Hex(ReadFileBytes(LinuxPath("stdout.bin"))), Hex(LinuxTicket({"--text", "Olá\n€"})));
}

TEST_F(Wine, APipeNobodyReadsTimesOut) {
  WriteLongText("long.txt");
  int pipe[2];
  ASSERT_EQ(::pipe2(pipe, O_CLOEXEC), 0);
  ::fcntl(pipe[1], F_SETPIPE_SZ, 4096);  // far less than the ticket
  const ProgramRun run = Windows({"--device", "-", "--text-file", WindowsPath("long.txt"), "--timeout", "1"}, pipe[1]);
  ::close(pipe[0]);
  ::close(pipe[1]);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(WithoutCarriageReturns(run.err).rfind("Falha na impressão:Tempo esgotado: o dispositivo \"-\"", 0), 0u)
      << run.err;
  EXPECT_LT(run.elapsed, 30s);
}

TEST_F(Wine, PrintsToALoopbackNetworkPrinter) {
  LoopbackPrinter printer;
  ASSERT_TRUE(printer.ok());
  const ProgramRun run = Windows({"--device", printer.DeviceName(), "--text", "Olá €", "--timeout", "5"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  ASSERT_TRUE(printer.WaitFinished(5000ms));
  EXPECT_EQ(Hex(printer.received()), Hex(LinuxTicket({"--text", "Olá €"})));
  EXPECT_TRUE(printer.sawEndOfStream());
}

// A printer that accepts and takes nothing: Wine answers no SIO_TCP_INFO (nor does Windows
// before 10 1703), so the job cannot see what the printer has; its silence is no delivery,
// and the job fails at the stall time-out as on Linux, resetting the connection.
TEST_F(Wine, APrinterThatReadsNothingIsNoDelivery) {
  WriteLongText("long.txt");
  PrinterBehaviour silent;
  silent.kind = PrinterBehaviour::Kind::Ignore;
  LoopbackPrinter printer(silent);
  ASSERT_TRUE(printer.ok());
  const ProgramRun run = Windows(
      {"--device", printer.DeviceName(), "--text-file", WindowsPath("long.txt"), "--timeout", "2"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(WithoutCarriageReturns(run.err).rfind("Falha na impressão:Tempo esgotado", 0), 0u)
      << run.err;
  EXPECT_GE(run.elapsed, 2s);
  EXPECT_LT(run.elapsed, 20s);
  ASSERT_TRUE(printer.WaitFinished(5000ms));
  EXPECT_TRUE(printer.sawReset());
}

// A COM port of the prefix, linked to a pseudo-terminal of this test.
class ComPort {
 public:
  explicit ComPort(const fs::path& root, int number) : link_(root / "ports" / ("com" + std::to_string(number))) {
    // A real serial port sends bytes as they are; a pseudo-terminal would turn LF into CR LF
    // unless put into raw mode, as Windows' serial driver never does such a thing.
    slave_ = ::open(pty_.slavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios t{};
    ::tcgetattr(slave_, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(slave_, TCSANOW, &t);
    fs::remove(link_);
    fs::create_symlink(pty_.slavePath(), link_);
  }
  ~ComPort() {
    fs::remove(link_);
    ::close(slave_);
  }
  PtyPair& pty() { return pty_; }

 private:
  PtyPair pty_;
  fs::path link_;
  int slave_ = -1;
};

TEST_F(Wine, PrintsToAComPortThatIsAPseudoTerminal) {
  WriteLongText("long.txt");
  ComPort port(root_, 12);  // COM10 and above need the \\.\ form
  // Too long for a symbol: delivered without it, exit 3 on both.
  const std::string expected = LinuxTicket({"--text-file", LinuxPath("long.txt")}, 3);
  auto reading = std::async(std::launch::async, [&] { return port.pty().ReadMaster(expected.size(), 30s); });
  const ProgramRun run = Windows({"--device", "COM12:", "--text-file", WindowsPath("long.txt")});
  EXPECT_EQ(run.exitCode, 3) << run.err;
  const std::string received = reading.get();
  EXPECT_EQ(received.size(), expected.size());
  EXPECT_TRUE(received == expected);
}

// Nobody reads the line: the pseudo-terminal's buffer fills as a printer holding the line with
// flow control would leave it, and the job gives up after the stall time-out.
TEST_F(Wine, AComPortThatTakesNothingTimesOut) {
  WriteLongText("long.txt");
  ComPort port(root_, 12);
  const ProgramRun run = Windows({"--device", "COM12", "--text-file", WindowsPath("long.txt"), "--timeout", "1"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(WithoutCarriageReturns(run.err).rfind("Falha na impressão:Tempo esgotado: o dispositivo \"COM12\"", 0), 0u)
      << run.err;
  EXPECT_LT(run.elapsed, 30s);
}

// A printer on a COM port: a fake printer on the master side of a pseudo-terminal that the
// prefix maps to COMn, its line raw as a real serial line is (a fresh pseudo-terminal would
// echo the requests back as answers).
class AnsweringComPort {
 public:
  AnsweringComPort(const fs::path& root, int number, FakeAnswers answers)
      : printer_(std::move(answers)), link_(root / "ports" / ("com" + std::to_string(number))) {
    slave_ = ::open(printer_.path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios t{};
    ::tcgetattr(slave_, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(slave_, TCSANOW, &t);
    fs::remove(link_);
    fs::create_symlink(printer_.path(), link_);
  }
  ~AnsweringComPort() {
    fs::remove(link_);
    ::close(slave_);
  }
  const FakePtyPrinter& printer() const { return printer_; }

 private:
  FakePtyPrinter printer_;
  fs::path link_;
  int slave_ = -1;
};

struct ComStatusRow {
  const char* name;
  FakeAnswers answers;
  std::vector<std::string> options;
  bool printed;  // the ticket reached the printer
  const char* says = nullptr;  // part of stderr, when the row is about what it says
};
void PrintTo(const ComStatusRow& row, std::ostream* out) { *out << row.name; }

class ComStatus : public Wine, public ::testing::WithParamInterface<ComStatusRow> {};

// --status and --check-status over COM13 against the Linux build over the same kind of
// printer on a pseudo-terminal: the same lines, verdicts and exit codes, within the same bounds.
TEST_P(ComStatus, AsTheLinuxBuildOnATty) {
  const ComStatusRow& row = GetParam();
  AnsweringComPort port(root_, 13, row.answers);
  std::vector<std::string> windows = {"--device", "COM13"};
  windows.insert(windows.end(), row.options.begin(), row.options.end());
  const ProgramRun onWindows = Windows(windows);

  FakePtyPrinter linuxPrinter(row.answers);
  std::vector<std::string> onLinuxArgs = {"--device", linuxPrinter.path()};
  onLinuxArgs.insert(onLinuxArgs.end(), row.options.begin(), row.options.end());
  const ProgramRun onLinux = Linux(onLinuxArgs);

  EXPECT_EQ(onWindows.exitCode, onLinux.exitCode) << onWindows.err;
  EXPECT_EQ(WithoutCarriageReturns(onWindows.out), onLinux.out);
  std::string linuxErr = onLinux.err;
  for (auto at = linuxErr.find(linuxPrinter.path()); at != std::string::npos;
       at = linuxErr.find(linuxPrinter.path()))
    linuxErr.replace(at, linuxPrinter.path().size(), "COM13");
  EXPECT_EQ(WithoutCarriageReturns(onWindows.err), linuxErr);
  if (row.says != nullptr) {
    EXPECT_NE(onWindows.err.find(row.says), std::string::npos) << onWindows.err;
  }
  EXPECT_LT(onWindows.elapsed, 15s);

  // From the first request on: a noisy printer's first bytes may come back to it as the port's
  // echo in the moment between the port opening and its raw settings, before anyone asks.
  const std::string received = port.printer().Received();
  const std::size_t firstRequest = std::min(received.find("\x10\x04"), received.size());
  RequestScanner scanner;
  EXPECT_FALSE(scanner.Feed(received.substr(firstRequest)).empty()) << "nothing asked";
  if (row.printed)
    EXPECT_NE(received.find(LinuxTicket({})), std::string::npos);
  else
    EXPECT_EQ(scanner.otherBytes(), 0u) << "more than requests reached the printer";
}

FakeAnswers InPieces(FakeAnswers answers) {
  answers.inPieces = true;
  return answers;
}
// Sends `endless` from the start, `perSecond` bytes a second.
FakeAnswers Streaming(FakeAnswers answers, std::string endless, unsigned perSecond) {
  answers.endless = std::move(endless);
  answers.endlessFromStart = true;
  answers.endlessPerSecond = perSecond;
  return answers;
}
FakeAnswers SendingTwice(FakeAnswers answers, int dleEot) {
  answers.dleEot[dleEot] += answers.dleEot[dleEot];
  return answers;
}
// Line noise: the same bytes over and over.
std::string Noise() {
  std::string bytes;
  for (unsigned i = 0; i < 300; ++i) bytes += static_cast<char>((i * 167 + 13) % 256);
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Printers, ComStatus,
    ::testing::Values(
        ComStatusRow{"Ready", ReadyPrinter(), {"--status"}, false},
        ComStatusRow{"ReadyAnsweringInPieces", InPieces(ReadyPrinter()), {"--status"}, false},
        ComStatusRow{"CoverOpenAndPaperOut", PrinterReporting(0x1A, 0x32, 0x12, 0x72),
                     {"--status"}, false},
        ComStatusRow{"Silent", FakeAnswers{}, {"--status"}, false},
        ComStatusRow{"CheckStatusPrintsOnAReadyPrinter", ReadyPrinter(), {"--check-status"}, true},
        ComStatusRow{"CheckStatusRefusesACoverOpen", PrinterReporting(0x1A, 0x32, 0x12, 0x72),
                     {"--check-status"}, false},
        ComStatusRow{"CheckStatusRefusesASilentPrinter", FakeAnswers{}, {"--check-status"},
                     false},
        // Bytes nobody asked for: unreadable, never a state made of them.
        ComStatusRow{"StatusBytesWithoutBeingAsked", Streaming({}, "\x12", 100), {"--status"},
                     false, "estado ilegível"},
        ComStatusRow{"ReadyPrinterInNoise", Streaming(ReadyPrinter(), Noise(), 1000),
                     {"--status"}, false, "estado ilegível"},
        ComStatusRow{"AnswerSentTwice", SendingTwice(PrinterReporting(0x12, 0x32, 0x12, 0x72), 2),
                     {"--status"}, false, "estado ilegível"}),
    [](const auto& info) { return std::string(info.param.name); });

// Ctrl+C: Wine hands a SIGINT to the console's handlers as Windows hands them Ctrl+C. The job
// ends as a failed job, exit 130, and lets go of the device as after any failure.
const char kInterrupted[] = "Falha na impressão:Impressão interrompida (Ctrl+C ou sinal de terminação)\n";

TEST_F(Wine, CtrlCCancelsAPendingComPortWrite) {
  WriteLongText("long.txt");
  ComPort port(root_, 12);  // nobody reads the rest: the write stays pending
  Spawn how;
  how.whileRunning = [&](pid_t child) {
    EXPECT_EQ(port.pty().ReadMaster(1, 30s).size(), 1u);  // the job is writing
    std::this_thread::sleep_for(300ms);
    ::kill(child, SIGINT);
  };
  const ProgramRun run =
      Windows({"--device", "COM12:", "--text-file", WindowsPath("long.txt"), "--timeout", "30"}, how);
  EXPECT_EQ(run.exitCode, 130) << run.err;
  EXPECT_EQ(WithoutCarriageReturns(run.err), kInterrupted);
  EXPECT_LT(run.elapsed, 20s);
}

TEST_F(Wine, CtrlCResetsANetworkConnection) {
  WriteLongText("long.txt");
  PrinterBehaviour silent;
  silent.kind = PrinterBehaviour::Kind::Ignore;
  LoopbackPrinter printer(silent);
  ASSERT_TRUE(printer.ok());
  Spawn how;
  how.whileRunning = [&](pid_t child) {
    EXPECT_TRUE(printer.WaitConnected(30s));
    std::this_thread::sleep_for(500ms);
    ::kill(child, SIGINT);
  };
  const ProgramRun run = Windows(
      {"--device", printer.DeviceName(), "--text-file", WindowsPath("long.txt"), "--timeout", "30"}, how);
  EXPECT_EQ(run.exitCode, 130) << run.err;
  EXPECT_EQ(WithoutCarriageReturns(run.err), kInterrupted);
  EXPECT_LT(run.elapsed, 20s);
  ASSERT_TRUE(printer.WaitFinished(5000ms));
  EXPECT_TRUE(printer.sawReset());  // so that the printer does not print half a ticket later
}

// Ctrl+C in the middle of a speed search: the search ends as interrupted, not as "nothing
// answered", and the line is back at its own speed (4800 here, which no try starts with).
// Noise on a COM port answers nothing: no speed is found in it.
TEST_F(Wine, TheSpeedSearchFindsNoSpeedInNoise) {
  AnsweringComPort port(root_, 13, Streaming({}, Noise(), 1000));
  const ProgramRun run = Windows({"--device", "COM13", "--find-speed"});
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_EQ(run.out, "") << "a speed found in noise";
}

TEST_F(Wine, CtrlCEndsTheSpeedSearchAndPutsTheLineBack) {
  ComPort port(root_, 12);
  const int line = ::open(port.pty().slavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(line, 0);
  termios own{};
  ASSERT_EQ(::tcgetattr(line, &own), 0);
  ::cfsetspeed(&own, B4800);
  ASSERT_EQ(::tcsetattr(line, TCSANOW, &own), 0);
  Spawn how;
  how.whileRunning = [&](pid_t child) {
    EXPECT_EQ(port.pty().ReadMaster(3, 30s), "\x10\x04\x01");  // the first try asks
    ::kill(child, SIGINT);
  };
  const ProgramRun run = Windows({"--device", "COM12", "--find-speed"}, how);
  EXPECT_EQ(run.exitCode, 130) << run.err;
  const std::string err = WithoutCarriageReturns(run.err);
  EXPECT_NE(err.find("Falha ao procurar a velocidade: "), std::string::npos) << err;
  EXPECT_EQ(err.find("não respondeu a nenhuma velocidade"), std::string::npos) << err;
  EXPECT_LT(run.elapsed, 20s);
  termios after{};
  ASSERT_EQ(::tcgetattr(line, &after), 0);
  EXPECT_EQ(::cfgetospeed(&after), speed_t{B4800});
  ::close(line);
}

// Whether `signal` waits to be delivered to process `pid`.

// Ctrl+C twice while a ticket waits on a COM port set to the job's settings: the program ends
// at once, but the port has its own settings back (Wine, like Windows, leaves a port as the
// last program set it) and standard error says so. The second Ctrl+C races the job's own end
// after the first; a few runs see both sides.
TEST_F(Wine, SecondCtrlCPutsTheComPortBackAndSaysSo) {
  WriteLongText("long.txt");
  int endedAtOnce = 0;
  for (int attempt = 0; attempt < 8; ++attempt) {
    SCOPED_TRACE(attempt);
    ComPort port(root_, 12);  // nobody reads the rest: the write stays pending
    const int line = ::open(port.pty().slavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(line, 0);
    termios own{};
    ASSERT_EQ(::tcgetattr(line, &own), 0);
    ::cfsetspeed(&own, B4800);
    ASSERT_EQ(::tcsetattr(line, TCSANOW, &own), 0);
    Spawn how;
    how.whileRunning = [&](pid_t child) {
      EXPECT_EQ(port.pty().ReadMaster(1, 30s).size(), 1u);  // writing, at the job's settings
      ::kill(child, SIGINT);
      // The same signal twice would be delivered once: the second waits for the first's.
      while (SignalPending(child, SIGINT)) std::this_thread::sleep_for(100us);
      ::kill(child, SIGINT);
    };
    const ProgramRun run = Windows(
        {"--device", "COM12:19200", "--text-file", WindowsPath("long.txt"), "--timeout", "30"},
        how);
    const std::string err = WithoutCarriageReturns(run.err);
    termios after{};
    ASSERT_EQ(::tcgetattr(line, &after), 0);
    ::close(line);
    EXPECT_EQ(::cfgetospeed(&after), speed_t{B4800}) << "left at the job's settings; " << err;
    // Ended at once: the line put back by the second Ctrl+C says so; one the job had already
    // put back after the first leaves the words alone.
    if (err.find("qrticket: segundo sinal: termina já") != std::string::npos) {
      ++endedAtOnce;
    } else {
      EXPECT_EQ(run.exitCode, 130) << err;
    }
  }
  EXPECT_GT(endedAtOnce, 0) << "no second Ctrl+C came while the job ran";
}

// --text-file - reads standard input: a pipe that gives its text and ends, one that gives
// nothing for the stall time-out, and one that Ctrl+C gives up on.
TEST_F(Wine, TextFromAPipeGivesTheLinuxTicket) {
  int pipe[2];
  ASSERT_EQ(::pipe2(pipe, O_CLOEXEC), 0);
  const std::string text = "Olá\r\n€ linha 2\n";
  ASSERT_EQ(::write(pipe[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
  ::close(pipe[1]);
  Spawn how;
  how.stdinFd = pipe[0];
  const ProgramRun run = Windows({"--device", WindowsPath("windows.bin"), "--text-file", "-"}, how);
  ::close(pipe[0]);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  std::ofstream(LinuxPath("text.txt"), std::ios::binary) << text;
  EXPECT_EQ(Hex(ReadFileBytes(LinuxPath("windows.bin"))),
            Hex(LinuxTicket({"--text-file", LinuxPath("text.txt")})));
}

TEST_F(Wine, APipeThatGivesNoTextIsGivenUpAfterTheStallTimeOut) {
  int pipe[2];
  ASSERT_EQ(::pipe2(pipe, O_CLOEXEC), 0);  // the write end stays open here, and silent
  Spawn how;
  how.stdinFd = pipe[0];
  const ProgramRun run =
      Windows({"--device", WindowsPath("t.bin"), "--text-file", "-", "--timeout", "1"}, how);
  ::close(pipe[0]);
  ::close(pipe[1]);
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(WithoutCarriageReturns(run.err).rfind(
                "qrticket: a entrada padrão não deu dados durante 1 s (ninguém escreve nela?)\n", 0),
            0u)
      << run.err;
  EXPECT_LT(run.elapsed, 20s);
  EXPECT_FALSE(fs::exists(LinuxPath("t.bin")));
}

TEST_F(Wine, CtrlCEndsTheWaitForTextFromAPipe) {
  int pipe[2];
  ASSERT_EQ(::pipe2(pipe, O_CLOEXEC), 0);
  Spawn how;
  how.stdinFd = pipe[0];
  how.whileRunning = [](pid_t child) {
    std::this_thread::sleep_for(3s);  // Wine has started the program and it waits for the text
    ::kill(child, SIGINT);
  };
  const ProgramRun run =
      Windows({"--device", WindowsPath("t.bin"), "--text-file", "-", "--timeout", "30"}, how);
  ::close(pipe[0]);
  ::close(pipe[1]);
  EXPECT_EQ(run.exitCode, 130) << run.err;
  EXPECT_EQ(WithoutCarriageReturns(run.err), "qrticket: a leitura da entrada padrão foi interrompida\n");
  EXPECT_LT(run.elapsed, 20s);
}

struct FailureRow {
  const char* name;
  std::string device;  // "{refused}" a refusing loopback port; "{folder}" a folder of the test
  std::string message;
};
void PrintTo(const FailureRow& row, std::ostream* out) { *out << row.name; }

class FailsCleanly : public Wine, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(FailsCleanly, WithExitCodeOneAndOneLine) {
  RefusingPort refusing;
  std::string device = GetParam().device;
  if (device == "{refused}") device = refusing.DeviceName();
  if (device == "{folder}") {
    fs::create_directory(LinuxPath("pasta"));
    device = WindowsPath("pasta");
  }
  const ProgramRun run = Windows({"--device", device});
  EXPECT_EQ(run.exitCode, 1);
  const std::string err = WithoutCarriageReturns(run.err);
  EXPECT_EQ(err, "Falha na impressão:" + std::string(GetParam().message).replace(
                     GetParam().message.find("@"), 1, device) + "\n");
  EXPECT_EQ(run.out, "");
  EXPECT_LT(run.elapsed, 20s);
}

INSTANTIATE_TEST_SUITE_P(
    Devices, FailsCleanly,
    ::testing::Values(
        FailureRow{"MissingPort", "COM255:", "A porta \"@\" (\\\\.\\COM255) não existe"},
        FailureRow{"Folder", "{folder}", "\"@\" é uma pasta, não um dispositivo nem um ficheiro"},
        FailureRow{"RefusedConnection", "{refused}", "Ligação recusada por \"@\""},
        FailureRow{"UnknownPrinter", "printer:Nenhuma", "O dispositivo ou ficheiro \"@\" não existe"},
        FailureRow{"BadNetworkName", "tcp://[127.0.0.1]", "Nome de dispositivo inválido: \"@\""},
        // Old IPv4 forms that Winsock reads as other addresses (127.0.0.1, and the 010 of the
        // second as octal 8): refused with Linux's words, before any connection.
        FailureRow{"ShortIpv4", "tcp://127.1", "Nome de dispositivo inválido: \"@\""},
        FailureRow{"ZeroPaddedIpv4", "tcp://127.0.0.010", "Nome de dispositivo inválido: \"@\""},
        FailureRow{"HexadecimalIpv4", "tcp://0x7f.0.0.1", "Nome de dispositivo inválido: \"@\""},
        // Wine has no USB printing class: SetupAPI lists no printer, by name or by port.
        FailureRow{"NoUsbPrinterOnThatPort", "usb:USB001",
                   "Não há nenhuma impressora USB \"@\" ligada: veja o nome com --list-devices"}),
    [](const auto& info) { return std::string(info.param.name); });

// A usb: printer is looked for to be asked, through the real SetupAPI, instead of being
// refused as a device Windows does not ask.
TEST_F(Wine, UsbStatusLooksForThePrinter) {
  const ProgramRun run = Windows({"--device", "usb:EPSON TM-T20II", "--status"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(WithoutCarriageReturns(run.err),
            "Falha ao pedir o estado: Não há nenhuma impressora USB \"usb:EPSON TM-T20II\" "
            "ligada: veja o nome com --list-devices\n");
  EXPECT_EQ(run.out, "");
}

// The ports come from Windows' device map (here the prefix's: COM1: to COM200:), one a line,
// in number order; nothing is opened to list them.
TEST_F(Wine, ListsTheSerialPortsWindowsKnows) {
  const ProgramRun run = Windows({"--list-devices"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  const std::string out = WithoutCarriageReturns(run.out);
  const auto com2 = out.find("COM2:\tPorta série \\Device\\Serial1\n");
  const auto com12 = out.find("COM12:\tPorta série \\Device\\Serial11\n");
  EXPECT_NE(com2, std::string::npos) << out.substr(0, 400);
  EXPECT_NE(com12, std::string::npos) << out.substr(0, 400);
  EXPECT_LT(com2, com12);
}

TEST_F(Wine, HelpIsInPortugueseAndNamesWindowsDevices) {
  const ProgramRun run = Windows({"--help"});
  EXPECT_EQ(run.exitCode, 0);
  const std::string out = WithoutCarriageReturns(run.out);
  EXPECT_NE(out.find("Utilização"), std::string::npos) << out;  // UTF-8 on the way out
  EXPECT_NE(out.find("printer:"), std::string::npos) << out;
  EXPECT_NE(out.find("COM256"), std::string::npos) << out;
  EXPECT_EQ(out.find("/dev/"), std::string::npos) << out;
  // Nothing of Linux's: no CUPS, no POSIX signals; and CLI11's words in Portuguese.
  for (const char* linuxOnly : {"CUPS", "cups:", "SIGTERM", "SIGHUP", "Needs"})
    EXPECT_EQ(out.find(linuxOnly), std::string::npos) << linuxOnly;
  EXPECT_NE(out.find("Ctrl+Break"), std::string::npos) << out;
}

// What a terminal shows of a Wine console: Wine draws it with escape sequences, moving the
// cursor right (CSI n C) where a space was written; carriage returns dropped.
std::string ShownOnTerminal(const std::string& terminal) {
  std::string text;
  for (std::size_t i = 0; i < terminal.size(); ++i) {
    if (terminal[i] == '\r') continue;
    if (terminal[i] != '\x1b') {
      text += terminal[i];
      continue;
    }
    if (i + 1 >= terminal.size() || terminal[i + 1] != '[') {
      ++i;  // ESC and one character
      continue;
    }
    std::size_t end = i + 2;
    while (end < terminal.size() && !(terminal[end] >= 0x40 && terminal[end] <= 0x7e)) ++end;
    if (end < terminal.size() && terminal[end] == 'C') {
      const std::string count = terminal.substr(i + 2, end - i - 2);
      text.append(count.empty() ? 1 : std::stoul(count), ' ');
    }
    i = end;
  }
  return text;
}

// Everything that comes on the master until the other side has gone (or `bound` passes).
std::string ReadUntilHangUp(int master, std::chrono::milliseconds bound) {
  std::string got;
  const auto end = Clock::now() + bound;
  while (Clock::now() < end) {
    pollfd p{master, POLLIN, 0};
    if (::poll(&p, 1, 50) <= 0) continue;
    char buffer[4096];
    const ssize_t n = ::read(master, buffer, sizeof buffer);
    if (n <= 0) break;  // EIO: no slave open any more
    got.append(buffer, static_cast<std::size_t>(n));
  }
  return got;
}

// In a console (Wine makes one on the terminal it is started from) the Portuguese of a failure
// arrives whole: handed over byte by byte, it showed as "impressÃ£o".
TEST_F(Wine, PortugueseReachesAConsoleWhole) {
  PtyPair terminal;
  const int slave = ::open(terminal.slavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(slave, 0);
  auto reading = std::async(std::launch::async, [&] { return ReadUntilHangUp(terminal.master(), 40s); });
  Spawn onTerminal;
  onTerminal.stdinFd = onTerminal.stdoutFd = onTerminal.stderrFd = slave;
  const ProgramRun run = Windows({"--device", "COM255:"}, onTerminal);
  ::close(slave);
  const std::string shown = ShownOnTerminal(reading.get());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(shown.find("Falha na impressão:A porta \"COM255:\" (\\\\.\\COM255) não existe"),
            std::string::npos)
      << shown;
  EXPECT_EQ(shown.find("\xC3\x83"), std::string::npos) << shown;  // "Ã"
}

}  // namespace
}  // namespace qrticket::testing
