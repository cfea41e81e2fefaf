// qrticket-view.exe under Wine beside the Linux qrticket-view: the same pixels and the same
// report for our ticket and for third-party receipts, from a file and from standard input; a
// symbol that decodes; the Portaria 195/2020 lines of an invoice QR code at a density; clean failures; --listen as a network printer that the Linux qrticket
// prints to and asks for status, served while another sender stays silent, and stopped by
// Ctrl+C; the Linux qrticket-view --serial as a COM port that qrticket.exe prints to, asks and
// finds the speed of; and qrticket.exe --device VISUALIZAR: drawing what the Linux qrticket
// draws. Runs in the prefix that wine_prefix.sh made (QRTICKET_WINE_ROOT).
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "http_exchange.h"
#include "qr_scan.h"
#include "run_program.h"
#include "temp_dir.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using qrticket::testing::HttpAnswer;
using qrticket::testing::HttpGet;

std::string WithoutCarriageReturns(std::string text) {
  std::erase(text, '\r');
  return text;
}

// Where two pictures first differ, for the failure message.
std::string FirstDifference(const GreyPicture& a, const GreyPicture& b) {
  if (a.width != b.width || a.height != b.height)
    return std::to_string(a.width) + " × " + std::to_string(a.height) + " against " +
           std::to_string(b.width) + " × " + std::to_string(b.height);
  for (std::size_t i = 0; i < a.pixels.size(); ++i)
    if (a.pixels[i] != b.pixels[i])
      return "dot x=" + std::to_string(i % a.width) + ", y=" + std::to_string(i / a.width);
  return "none";
}

class WineView : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* root = std::getenv("QRTICKET_WINE_ROOT");
    const char* prefix = std::getenv("WINEPREFIX");
    if (root == nullptr) GTEST_SKIP() << "runs in the prefix of wine_prefix_create (ctest)";
    // Wine is never started on a prefix other than the one the tests made.
    ASSERT_TRUE(prefix != nullptr && fs::path(prefix) == fs::path(root) / "prefix");
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    std::replace(name.begin(), name.end(), '/', '_');
    work_ = fs::path(root) / "exchange" / name;  // T:\<name> for the Windows program
    fs::remove_all(work_);
    fs::create_directories(work_);
    windowsWork_ = "T:\\" + name;
  }

  std::string LinuxPath(const std::string& file) const { return (work_ / file).string(); }
  std::string WindowsPath(const std::string& file) const { return windowsWork_ + "\\" + file; }

  ProgramRun Windows(std::vector<std::string> args) const {
    args.insert(args.begin(), {QRTICKET_WINE64, QRTICKET_VIEW_EXE});
    return RunProgram(args, {}, 60s, work_);
  }
  ProgramRun Linux(std::vector<std::string> args) const {
    args.insert(args.begin(), QRTICKET_VIEW_BINARY);
    return RunProgram(args, {}, 60s, work_);
  }

  // The Linux qrticket's default ticket, written to `file` of this test's folder.
  void WriteDefaultTicket(const std::string& file) const {
    const ProgramRun run = RunProgram({QRTICKET_BINARY, "--device", LinuxPath(file)});
    ASSERT_EQ(run.exitCode, 0) << run.err;
  }

  fs::path work_;
  std::string windowsWork_;
};

struct DrawingRow {
  const char* name;
  std::string input;  // a fixture, or "{ticket}" for the default ticket
  std::vector<std::string> options;
};
void PrintTo(const DrawingRow& row, std::ostream* out) { *out << row.name; }

class SamePixels : public WineView, public ::testing::WithParamInterface<DrawingRow> {};

TEST_P(SamePixels, AsTheLinuxBuild) {
  const DrawingRow& row = GetParam();
  if (row.input == "{ticket}") {
    WriteDefaultTicket("input.bin");
  } else {
    fs::copy_file(fs::path(QRTICKET_VIEWER_FIXTURES) / row.input, LinuxPath("input.bin"));
  }
  std::vector<std::string> onLinux = {LinuxPath("input.bin"), "-o", LinuxPath("linux.png")};
  std::vector<std::string> onWindows = {WindowsPath("input.bin"), "-o", WindowsPath("windows.png")};
  onLinux.insert(onLinux.end(), row.options.begin(), row.options.end());
  onWindows.insert(onWindows.end(), row.options.begin(), row.options.end());
  const ProgramRun linux = Linux(onLinux);
  const ProgramRun windows = Windows(onWindows);
  ASSERT_EQ(linux.exitCode, 0) << linux.err;
  EXPECT_EQ(windows.exitCode, 0) << windows.err;
  EXPECT_EQ(WithoutCarriageReturns(windows.out), linux.out);  // the report
  EXPECT_EQ(windows.err, "");
  const GreyPicture expected = ReadGreyPng(LinuxPath("linux.png"));
  const GreyPicture drawn = ReadGreyPng(LinuxPath("windows.png"));
  ASSERT_GT(expected.width, 0);
  EXPECT_TRUE(drawn.width == expected.width && drawn.pixels == expected.pixels)
      << "first difference: " << FirstDifference(drawn, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Tickets, SamePixels,
    ::testing::Values(
        DrawingRow{"DefaultTicket", "{ticket}", {}},
        DrawingRow{"DefaultTicketOn58mm", "{ticket}", {"--width", "384"}},
        // A picture, columns, accents, three bar codes and a PDF417 symbol.
        DrawingRow{"ThirdPartyReceipt", "rpe-receipt.bin", {}},
        // receiptline: rules in Katakana, an EAN-13 and a QR code sent as a picture.
        DrawingRow{"ReceiptlineShowcase", "receiptline-showcase.bin", {}},
        DrawingRow{"CodePage860Text", "rpe-text-cp860.bin", {}}),
    [](const auto& info) { return std::string(info.param.name); });

// The ticket piped in, and the symbol it draws read back by a real decoder.
TEST_F(WineView, DrawsStandardInputAndTheSymbolDecodes) {
  WriteDefaultTicket("input.bin");
  const ProgramRun run = RunProgram(
      {"bash", "-c", "\"$0\" \"$1\" - -o \"$2\" <input.bin", QRTICKET_WINE64, QRTICKET_VIEW_EXE,
       WindowsPath("windows.png")},
      {}, 60s, work_);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("QR (GS ( k): versão 8, nível M, módulo 6 pontos, 140 bytes"),
            std::string::npos)
      << run.out;
  const std::vector<Bytes> symbols = ScanQr(ReadGreyPng(LinuxPath("windows.png")));
  ASSERT_EQ(symbols.size(), 1u);
  EXPECT_EQ(symbols[0].rfind("A:123456789*B:999999990*C:PT*", 0), 0u) << symbols[0];
}

// The default ticket's invoice QR code, judged against Portaria 195/2020 at 300 dpi: the same
// verdict and findings as the Linux build, its width measured at that density; and a density
// no printer has is refused as a usage error.
TEST_F(WineView, JudgesTheInvoiceCodeAsTheLinuxBuild) {
  WriteDefaultTicket("input.bin");
  const ProgramRun linux =
      Linux({LinuxPath("input.bin"), "-o", LinuxPath("linux.png"), "--dpi", "300"});
  const ProgramRun windows =
      Windows({WindowsPath("input.bin"), "-o", WindowsPath("windows.png"), "--dpi", "300"});
  ASSERT_EQ(linux.exitCode, 0) << linux.err;
  EXPECT_EQ(windows.exitCode, 0) << windows.err;
  EXPECT_EQ(WithoutCarriageReturns(windows.out), linux.out);
  for (const char* line : {"\nPortaria 195/2020: não cumpre\n", "\nH: ATCUD sem hífen",
                           "\nSímbolo: 24,8 mm de largura a 300 ppp; a portaria pede pelo "
                           "menos 30 mm (não cumpre)\n"}) {
    EXPECT_NE(linux.out.find(line), std::string::npos) << line << "\n" << linux.out;
  }
  const ProgramRun refused =
      Windows({WindowsPath("input.bin"), "-o", WindowsPath("x.png"), "--dpi", "150"});
  EXPECT_EQ(refused.exitCode, 2);
  EXPECT_EQ(WithoutCarriageReturns(refused.err),
            "qrticket-view: --dpi aceita 180, 203 ou 300, não '150'\n"
            "Experimente 'qrticket-view --help'.\n");
}

struct FailureRow {
  const char* name;
  std::string input;  // "{folder}": a folder of the test
  const char* says;
};
void PrintTo(const FailureRow& row, std::ostream* out) { *out << row.name; }

class ViewFails : public WineView, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(ViewFails, AsTheLinuxBuildSays) {
  std::string input = GetParam().input;
  if (input == "{folder}") {
    fs::create_directory(LinuxPath("pasta"));
    input = WindowsPath("pasta");
  }
  const ProgramRun run = Windows({input, "-o", WindowsPath("x.png")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(WithoutCarriageReturns(run.err),
            "qrticket-view: não foi possível ler '" + input + "' (" + GetParam().says + ")\n");
  EXPECT_FALSE(fs::exists(LinuxPath("x.png")));
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, ViewFails,
    ::testing::Values(FailureRow{"MissingFile", "T:\\nao-existe.bin", "não existe"},
                      FailureRow{"Folder", "{folder}", "é uma pasta"}),
    [](const auto& info) { return std::string(info.param.name); });

// qrticket-view.exe --listen, its output in a file of the test; Ctrl+C (SIGINT, which Wine
// hands to the console's handlers) stops it.
class Listener {
 public:
  Listener(const fs::path& log, std::vector<std::string> options) : log_(log) {
    options.insert(options.begin(), {QRTICKET_WINE64, QRTICKET_VIEW_EXE, "--listen", "127.0.0.1:0"});
    program_ = std::make_unique<BackgroundProgram>(options, log, log.string() + ".err");
  }
  std::string Log() const { return WithoutCarriageReturns(ReadFileBytes(log_)); }
  bool WaitFor(const std::string& text) {
    return PollUntil([&] { return Log().find(text) != std::string::npos; }, 30s);
  }
  // The address it printed, as tcp:// takes it.
  std::string Address() {
    std::string address;
    // The address counts once the space after it is written too.
    PollUntil(
        [&] {
          const std::string log = Log();
          const auto at = log.find("a escutar em ");
          if (at == std::string::npos) return false;
          const auto end = log.find(' ', at + 13);
          if (end != std::string::npos) address = log.substr(at + 13, end - at - 13);
          return !address.empty();
        },
        30s);
    return address;
  }
  std::optional<int> Interrupt() { return program_->Stop(30s, SIGINT); }

 private:
  fs::path log_;
  std::unique_ptr<BackgroundProgram> program_;
};

// A raw loopback connection of the test's own, to hold a connection open without a word.
int ConnectTo(const std::string& address) {
  const auto colon = address.rfind(':');
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(static_cast<std::uint16_t>(std::stoi(address.substr(colon + 1))));
  ::inet_pton(AF_INET, address.substr(0, colon).c_str(), &to.sin_addr);
  const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (s >= 0 && ::connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
    ::close(s);
    return -1;
  }
  return s;
}

// Windows has no serial printer: the help does not offer --serial, which is still refused with
// its reason (exit 2), as on the Linux build it is offered.
TEST_F(WineView, HelpOffersOnlyWhatWindowsHas) {
  const ProgramRun help = Windows({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(WithoutCarriageReturns(help.out).find("--listen"), std::string::npos);
  EXPECT_EQ(help.out.find("--serial"), std::string::npos) << help.out;
  EXPECT_NE(Linux({"--help"}).out.find("--serial"), std::string::npos);
  const ProgramRun serial = Windows({"--serial", "9600", "--out", WindowsPath("")});
  EXPECT_EQ(serial.exitCode, 2);
  EXPECT_NE(serial.err.find("--serial só existe no Linux"), std::string::npos) << serial.err;
}

TEST_F(WineView, ListensAsANetworkPrinter) {
  fs::create_directory(LinuxPath("out"));
  Listener listener(LinuxPath("listen.log"), {"--out", WindowsPath("out")});
  const std::string address = listener.Address();
  ASSERT_NE(address, "") << listener.Log();

  // A sender that says nothing holds up no one: the ticket after it is drawn at once.
  const int silent = ConnectTo(address);
  ASSERT_GE(silent, 0);
  const ProgramRun status = RunProgram({QRTICKET_BINARY, "--device", "tcp://" + address, "--status"});
  EXPECT_EQ(status.exitCode, 0) << status.err;
  EXPECT_NE(status.out.find("modelo: qrticket-view\n"), std::string::npos) << status.out;
  EXPECT_NE(status.out.find("pronta a imprimir"), std::string::npos) << status.out;
  const ProgramRun ticket = RunProgram(
      {QRTICKET_BINARY, "--device", "tcp://" + address, "--text", "Olá via Wine", "--timeout", "10"});
  EXPECT_EQ(ticket.exitCode, 0) << ticket.err;
  EXPECT_TRUE(listener.WaitFor("trabalho 1: ")) << listener.Log();
  ::close(silent);
  EXPECT_TRUE(listener.WaitFor(" sem dados: nenhum talão")) << listener.Log();

  const std::optional<int> stopped = listener.Interrupt();
  ASSERT_TRUE(stopped.has_value()) << "Ctrl+C did not stop it";
  EXPECT_TRUE(WIFEXITED(*stopped) && WEXITSTATUS(*stopped) == 0);
  EXPECT_NE(listener.Log().find("qrticket-view: parado"), std::string::npos) << listener.Log();

  // The job's picture is the one the Linux build draws from the same bytes.
  const ProgramRun same = RunProgram({QRTICKET_BINARY, "--device", LinuxPath("ticket.bin"), "--text", "Olá via Wine"});
  ASSERT_EQ(same.exitCode, 0);
  ASSERT_EQ(Linux({LinuxPath("ticket.bin"), "-o", LinuxPath("linux.png")}).exitCode, 0);
  const GreyPicture drawn = ReadGreyPng(LinuxPath("out/ticket-0001.png"));
  const GreyPicture expected = ReadGreyPng(LinuxPath("linux.png"));
  ASSERT_GT(drawn.width, 0) << listener.Log();
  EXPECT_TRUE(drawn.width == expected.width && drawn.pixels == expected.pixels)
      << "first difference: " << FirstDifference(drawn, expected);
  EXPECT_NE(WithoutCarriageReturns(ReadFileBytes(LinuxPath("out/ticket-0001.txt"))).find("QR (GS ( k): versão 1, nível M"),
            std::string::npos);
}

// The receipt bench on Windows: the page's server (cpp-httplib on Winsock) lists a ticket the
// Linux qrticket sent, with its picture and its bytes, and the job's text escaped.
TEST_F(WineView, ServesTheReceiptBench) {
  Listener listener(LinuxPath("listen.log"), {"--web", "127.0.0.1:0"});
  const std::string address = listener.Address();
  ASSERT_NE(address, "") << listener.Log();
  ASSERT_TRUE(listener.WaitFor("/\n")) << listener.Log();
  const std::string log = listener.Log();
  const std::string start = "página da bancada em http://127.0.0.1:";
  const auto at = log.find(start);
  ASSERT_NE(at, std::string::npos) << log;
  const int page = std::stoi(log.substr(at + start.size()));

  const ProgramRun written = RunProgram(
      {QRTICKET_BINARY, "--device", LinuxPath("ticket.bin"), "--text", "€ <b>Wine</b>"});
  ASSERT_EQ(written.exitCode, 0) << written.err;
  const ProgramRun sent = RunProgram({QRTICKET_BINARY, "--device", "tcp://" + address, "--text",
                                      "€ <b>Wine</b>", "--timeout", "10"});
  EXPECT_EQ(sent.exitCode, 0) << sent.err;
  EXPECT_TRUE(listener.WaitFor("trabalho 1: ")) << listener.Log();

  const HttpAnswer list = HttpGet(page, "/api/receipts");
  EXPECT_EQ(list.status, 200) << list.head;
  EXPECT_EQ(list.body.rfind("[{\"id\":1,", 0), 0u) << list.body;
  const std::string ticket = ReadFileBytes(LinuxPath("ticket.bin"));
  EXPECT_NE(list.body.find("\"bytes\":" + std::to_string(ticket.size()) + ","), std::string::npos)
      << list.body;
  EXPECT_NE(list.body.find("\\u003cb\\u003eWine\\u003c/b\\u003e"), std::string::npos) << list.body;
  EXPECT_EQ(list.body.find("<b>"), std::string::npos);
  EXPECT_EQ(HttpGet(page, "/recibos/1.bin").body, ticket);
  EXPECT_EQ(HttpGet(page, "/recibos/1.png").body.substr(0, 8), "\x89PNG\r\n\x1a\n");
  EXPECT_EQ(HttpGet(page, "/recibos/../../windows/win.ini").status, 404);

  const std::optional<int> stopped = listener.Interrupt();
  ASSERT_TRUE(stopped.has_value()) << "Ctrl+C did not stop it";
  EXPECT_TRUE(WIFEXITED(*stopped) && WEXITSTATUS(*stopped) == 0) << listener.Log();
}

TEST_F(WineView, SimulatesAPrinterWithItsCoverOpen) {
  Listener listener(LinuxPath("listen.log"),
                    {"--out", WindowsPath("out"), "--simulate", "cover-open"});
  const std::string address = listener.Address();
  ASSERT_NE(address, "") << listener.Log();
  const ProgramRun status = RunProgram({QRTICKET_BINARY, "--device", "tcp://" + address, "--status"});
  EXPECT_EQ(status.exitCode, 1);
  EXPECT_NE(status.out.find("não está pronta: fora de linha, tampa aberta"), std::string::npos)
      << status.out;
  const ProgramRun checked = RunProgram({QRTICKET_BINARY, "--device", "tcp://" + address, "--check-status"});
  EXPECT_EQ(checked.exitCode, 1);
  EXPECT_TRUE(listener.Interrupt().has_value());
  EXPECT_EQ(listener.Log().find("trabalho 1:"), std::string::npos) << "nothing was printed";
}

// The Linux qrticket-view --serial at `speed` as the printer, drawing into `out`, with its
// pseudo-terminal linked as COM`number` of the prefix; `line()` is the pty's path. Each test
// takes a number no other test of the prefix uses: they run side by side.
class SerialPrinterAsComPort {
 public:
  SerialPrinterAsComPort(const std::string& speed, int number, const std::string& out,
                         const std::string& log)
      : log_(log),
        link_(fs::path(std::getenv("QRTICKET_WINE_ROOT")) / "ports" /
              ("com" + std::to_string(number))),
        printer_({QRTICKET_VIEW_BINARY, "--serial", speed, "--out", out}, log, log + ".err") {
    const std::string start = "impressora série em ";
    if (!PollUntil([&] { return Log().find(" a " + speed) != std::string::npos; }, 10s)) return;
    const std::string text = Log();
    const auto at = text.find(start) + start.size();
    line_ = text.substr(at, text.find(' ', at) - at);
    fs::remove(link_);
    fs::create_symlink(line_, link_);
  }
  ~SerialPrinterAsComPort() { fs::remove(link_); }
  SerialPrinterAsComPort(const SerialPrinterAsComPort&) = delete;
  SerialPrinterAsComPort& operator=(const SerialPrinterAsComPort&) = delete;

  const std::string& line() const { return line_; }
  std::string Log() const { return ReadFileBytes(log_); }

 private:
  std::string log_;
  fs::path link_;
  BackgroundProgram printer_;
  std::string line_;
};

// qrticket.exe sets the settings through the DCB, which Wine passes on to the pty, so a ticket
// at the printer's speed is drawn with its symbol and one at 9600 is junk; one without settings
// finds the line at the printer's own settings, which every job put back.
TEST_F(WineView, PrintsToTheSerialPrinterThroughACOMPort) {
  fs::create_directory(LinuxPath("out"));
  const SerialPrinterAsComPort printer("38400", 21, LinuxPath("out"), LinuxPath("serial.log"));
  ASSERT_FALSE(printer.line().empty()) << printer.Log();

  struct Job {
    std::string device;
    bool drawnAsSent;
  };
  const Job jobs[] = {{"COM21:38400,n,8,1", true}, {"COM21:9600", false}, {"COM21:", true}};
  int number = 0;
  for (const Job& job : jobs) {
    ++number;
    const ProgramRun run =
        RunProgram({QRTICKET_WINE64, QRTICKET_EXE, "--device", job.device}, {}, 60s, work_);
    EXPECT_EQ(run.exitCode, 0) << job.device << ": " << run.err;
    const std::string mark = "trabalho " + std::to_string(number) + ":";
    ASSERT_TRUE(PollUntil([&] { return printer.Log().find(mark) != std::string::npos; }, 10s))
        << printer.Log();
    char name[32];
    std::snprintf(name, sizeof name, "out/ticket-%04d.txt", number);
    const std::string report = ReadFileBytes(LinuxPath(name));
    EXPECT_EQ(report.find("QR (GS ( k)") != std::string::npos, job.drawnAsSent)
        << job.device << ":\n" << report;
    EXPECT_EQ(report.find("a linha a 9600 bit/s e a impressora está a 38400") != std::string::npos,
              !job.drawnAsSent)
        << job.device << ":\n" << report;
  }
  // The line is at the printer's own settings: it answers the Linux qrticket without settings.
  const ProgramRun status = RunProgram({QRTICKET_BINARY, "--device", printer.line(), "--status"});
  EXPECT_EQ(status.exitCode, 0) << status.out << status.err;
}

// qrticket.exe asks a COM port for its status at the settings after its name, and finds the
// speed of the printer behind it; the line is left at the printer's own settings.
TEST_F(WineView, AsksAndFindsTheSerialPrinterThroughACOMPort) {
  fs::create_directory(LinuxPath("out"));
  const SerialPrinterAsComPort printer("19200", 22, LinuxPath("out"), LinuxPath("serial.log"));
  ASSERT_FALSE(printer.line().empty()) << printer.Log();

  const ProgramRun found =
      RunProgram({QRTICKET_WINE64, QRTICKET_EXE, "--device", "COM22", "--find-speed"}, {}, 60s,
                 work_);
  EXPECT_EQ(found.exitCode, 0) << found.err;
  EXPECT_EQ(WithoutCarriageReturns(found.out), "COM22:19200,n,8,1\n") << found.err;
  EXPECT_NE(found.err.find("pode imprimir alguns caracteres soltos"), std::string::npos)
      << found.err;

  const ProgramRun atItsSpeed = RunProgram(
      {QRTICKET_WINE64, QRTICKET_EXE, "--device", "COM22:19200,n,8,1", "--status"}, {}, 60s, work_);
  EXPECT_EQ(atItsSpeed.exitCode, 0) << atItsSpeed.out << atItsSpeed.err;
  EXPECT_NE(atItsSpeed.out.find("pronta a imprimir"), std::string::npos) << atItsSpeed.out;
  const ProgramRun atAnother = RunProgram(
      {QRTICKET_WINE64, QRTICKET_EXE, "--device", "COM22:9600", "--status"}, {}, 60s, work_);
  EXPECT_EQ(atAnother.exitCode, 1) << atAnother.out << atAnother.err;
  EXPECT_NE(atAnother.err.find("não respondeu"), std::string::npos) << atAnother.err;

  const ProgramRun status = RunProgram({QRTICKET_BINARY, "--device", printer.line(), "--status"});
  EXPECT_EQ(status.exitCode, 0) << status.out << status.err;
}

// The device list opens each COM port for a moment for the settings it is at: the line's
// own, which the pty carries from the printer's side; a port that leads nowhere has none.
TEST_F(WineView, ListsEachCOMPortWithTheSettingsItIsAt) {
  fs::create_directory(LinuxPath("out"));
  const SerialPrinterAsComPort printer("57600,n,8,2", 24, LinuxPath("out"), LinuxPath("serial.log"));
  ASSERT_FALSE(printer.line().empty()) << printer.Log();

  const ProgramRun list =
      RunProgram({QRTICKET_WINE64, QRTICKET_EXE, "--list-devices"}, {}, 60s, work_);
  EXPECT_EQ(list.exitCode, 0) << list.err;
  const std::string out = WithoutCarriageReturns(list.out);
  const auto at = out.find("\nCOM24:\t");
  ASSERT_NE(at, std::string::npos) << out;
  const std::string line = out.substr(at + 1, out.find('\n', at + 1) - at - 1);
  EXPECT_TRUE(line.ends_with(", a 57600,n,8,2")) << line;
  const auto other = out.find("\nCOM25:\t");
  ASSERT_NE(other, std::string::npos) << out;
  EXPECT_EQ(out.substr(other + 1, out.find('\n', other + 1) - other - 1).find(", a "),
            std::string::npos);
  EXPECT_EQ(printer.Log().find("trabalho"), std::string::npos) << "the list printed nothing";
}

// "imagem: C:\users\...\talao.png" from the preview's message, as a path of this machine.
fs::path PicturePath(const std::string& out, const std::string& label) {
  const auto at = out.find("  " + label + ": ");
  if (at == std::string::npos) return {};
  const auto start = at + label.size() + 4;
  std::string windows = out.substr(start, out.find('\n', start) - start);
  if (windows.rfind("C:\\", 0) != 0) return {};
  std::replace(windows.begin(), windows.end(), '\\', '/');
  return fs::path(std::getenv("WINEPREFIX")) / "drive_c" / windows.substr(3);
}

struct PreviewRow {
  const char* name;
  std::vector<std::string> options;
};
void PrintTo(const PreviewRow& row, std::ostream* out) { *out << row.name; }

class PreviewDraws : public WineView, public ::testing::WithParamInterface<PreviewRow> {};

TEST_P(PreviewDraws, WhatTheLinuxBuildDraws) {
  std::vector<std::string> windows = {QRTICKET_WINE64, QRTICKET_EXE, "--device", "visualizar:"};
  std::vector<std::string> linux = {QRTICKET_BINARY, "--device", "VISUALIZAR:"};
  windows.insert(windows.end(), GetParam().options.begin(), GetParam().options.end());
  linux.insert(linux.end(), GetParam().options.begin(), GetParam().options.end());
  fs::create_directory(LinuxPath("tmp"));
  const ProgramRun onWindows = RunProgram(windows, {}, 60s, work_);
  const ProgramRun onLinux = RunProgram(linux, {{"TMPDIR", LinuxPath("tmp")}}, 60s, work_);
  ASSERT_EQ(onLinux.exitCode, 0) << onLinux.err;
  EXPECT_EQ(onWindows.exitCode, 0) << onWindows.err;
  const std::string out = WithoutCarriageReturns(onWindows.out);
  EXPECT_EQ(out.rfind("VISUALIZAR: talão desenhado pela impressora virtual, sem impressora:\n", 0), 0u)
      << out;
  const fs::path picture = PicturePath(out, "imagem"), report = PicturePath(out, "relatório");
  ASSERT_FALSE(picture.empty()) << out;
  EXPECT_EQ(picture.parent_path(), report.parent_path());
  EXPECT_FALSE(fs::exists(work_ / "visualizar:")) << "no file of that name";
  const std::string linuxOut = onLinux.out;
  const auto at = linuxOut.find("  imagem: ") + 10;
  const fs::path linuxPicture = linuxOut.substr(at, linuxOut.find('\n', at) - at);
  const GreyPicture drawn = ReadGreyPng(picture), expected = ReadGreyPng(linuxPicture);
  ASSERT_GT(expected.width, 0) << linuxOut;
  EXPECT_TRUE(drawn.width == expected.width && drawn.pixels == expected.pixels)
      << "first difference: " << FirstDifference(drawn, expected);
  EXPECT_EQ(WithoutCarriageReturns(ReadFileBytes(report)),
            ReadFileBytes(linuxPicture.parent_path() / "talao.txt"));
  EXPECT_NE(ReadFileBytes(report).find("\r\n"), std::string::npos) << "CR LF, for Notepad";
  fs::remove_all(picture.parent_path());
}

INSTANTIATE_TEST_SUITE_P(
    Tickets, PreviewDraws,
    ::testing::Values(PreviewRow{"Ticket", {"--text", "Olá €", "--woosim"}},
                      PreviewRow{"LimitsTicketOn58mm", {"--probe", "--paper", "58"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket::testing
