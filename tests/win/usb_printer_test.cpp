// USB printers without a queue ("usb:NAME") behind the device seam: Wine has no USB printing
// class, so the interface list and the handle are scripted. Named by their IEEE 1284 ID or
// their USB001 port, in an order that does not follow Windows' own, written to through their
// device path, bounded as a port, and asked for their status through ReadFile.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <thread>
#include <utility>

#include "devices/win/cancel_event.h"
#include "devices/win/usb_printers.h"
#include "discovery/win/windows_listers.h"
#include "fake_printer_answers.h"
#include "fake_system_calls.h"
#include "recording_reporter.h"
#include "status/checked_ticket_job.h"
#include "status/status_query.h"
#include "status/status_texts.h"
#include "temp_dir.h"
#include "ticket/ticket_defaults.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::wstring Path(int instance, const wchar_t* ids = L"vid_04b8&pid_0e15") {
  return std::wstring(L"\\\\?\\usb#") + ids + L"#" + std::to_wstring(instance) +
         L"#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
}

// A port whose device is one of a scripted list of USB printers, given in the order Windows
// happened to list them.
class FakeUsb : public FakePort {
 public:
  std::vector<UsbPrinterInterface> interfaces = {
      {Path(1), "MFG:EPSON;CMD:ESC/POS;MDL:TM-T20II;CLS:PRINTER;", "USB", 3},
      {Path(2, L"vid_0519&pid_0003"), "MANUFACTURER:Star;MODEL:TSP100;", "USB", 1},
      {Path(3, L"vid_1fc9&pid_2016"), "", "USB", std::nullopt},
      {Path(4), "MFG:EPSON;MDL:TM-T20II;", "USB", 2}};

  std::vector<UsbPrinterInterface> UsbPrinterInterfaces() override { return interfaces; }
};

std::string Lines(const std::vector<DiscoveredDevice>& devices) {
  std::string lines;
  for (const DiscoveredDevice& device : devices) lines += device.name + "\t" + device.description + "\n";
  return lines;
}

TEST(UsbPrinters, ListedByTheirIeee1284IdsInTheOrderOfTheirPorts) {
  FakeUsb usb;
  EXPECT_EQ(Lines(DescribeUsbPrinters(ListUsbPrinters(usb))),
            "usb:Star TSP100\tImpressora USB Star TSP100, porta USB001\n"
            "usb:EPSON TM-T20II\tImpressora USB EPSON TM-T20II, porta USB002\n"
            "usb:EPSON TM-T20II (2)\tImpressora USB EPSON TM-T20II (2) (ESC/POS), porta USB003\n"
            "usb:USB 4\tImpressora USB USB 4\n");  // its ID names nothing, and it has no port
  EXPECT_EQ(usb.openedPath, L"");  // listing opens nothing through the seam
}

TEST(UsbPrinters, PortNamesTakeTheBaseNameAndThreeDigitsAtLeast) {
  FakeUsb usb;
  usb.interfaces = {{Path(1), "MFG:A;MDL:One;", "USB", 12},
                    {Path(2), "MFG:A;MDL:Two;", "USB", 1234},
                    {Path(3), "MFG:A;MDL:Three;", "TMUSB", 7}};
  std::vector<std::string> ports;
  for (const UsbPrinter& printer : ListUsbPrinters(usb)) ports.push_back(printer.port);
  EXPECT_EQ(ports, (std::vector<std::string>{"TMUSB007", "USB012", "USB1234"}));
}

struct OrderRow {
  const char* name;
  std::vector<UsbPrinterInterface> interfaces;
};
void PrintTo(const OrderRow& row, std::ostream* out) { *out << row.name; }

class UsbOrder : public ::testing::TestWithParam<OrderRow> {};

// Two printers of one model keep their " (2)" however Windows happens to list them: the names
// depend on the ports (then the paths) only.
TEST_P(UsbOrder, NamesStayWithTheirPrinters) {
  std::vector<UsbPrinterInterface> interfaces = GetParam().interfaces;
  std::map<std::wstring, std::string> first;
  FakeUsb usb;
  usb.interfaces = interfaces;
  for (const UsbPrinter& printer : ListUsbPrinters(usb)) first[printer.path] = printer.name;
  ASSERT_EQ(first.size(), interfaces.size());

  std::vector<std::vector<UsbPrinterInterface>> orders = {interfaces, interfaces};
  std::reverse(orders[0].begin(), orders[0].end());
  std::rotate(orders[1].begin(), orders[1].begin() + 1, orders[1].end());
  for (const auto& order : orders) {
    usb.interfaces = order;
    std::map<std::wstring, std::string> again;
    for (const UsbPrinter& printer : ListUsbPrinters(usb)) again[printer.path] = printer.name;
    EXPECT_EQ(again, first);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Orders, UsbOrder,
    ::testing::Values(
        OrderRow{"ByPort",
                 {{Path(9), "MFG:EPSON;MDL:TM-T20II;", "USB", 1},
                  {Path(1), "MFG:EPSON;MDL:TM-T20II;", "USB", 2},
                  {Path(5), "MFG:EPSON;MDL:TM-T20II;", "USB", 3},
                  {Path(7), "", "USB", 4}}},
        OrderRow{"ByPathWithoutPorts",
                 {{Path(3), "MFG:Star;MDL:TSP100;", "USB", std::nullopt},
                  {Path(1), "MFG:Star;MDL:TSP100;", "USB", std::nullopt},
                  {Path(2), "", "USB", std::nullopt},
                  {Path(4), "", "USB", std::nullopt}}},
        OrderRow{"PortsFirstThenPaths",
                 {{Path(1), "MFG:Star;MDL:TSP100;", "USB", std::nullopt},
                  {Path(2), "MFG:Star;MDL:TSP100;", "USB", 5},
                  {Path(3), "MFG:Star;MDL:TSP100;", "USB", std::nullopt}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct UsbJobRow {
  const char* name;
  std::string device;
  std::function<void(FakeUsb&)> setUp;
  const char* failure;  // the start of the message after "Falha na impressão:"; null: success
  std::wstring opened;  // the interface the ticket went to
};
void PrintTo(const UsbJobRow& row, std::ostream* out) { *out << row.name; }

class UsbJobs : public ::testing::TestWithParam<UsbJobRow> {};

TEST_P(UsbJobs, GoToTheNamedPrinterOrFail) {
  const UsbJobRow& row = GetParam();
  FakeUsb usb;
  if (row.setUp) row.setUp(usb);
  const std::optional<std::string> message = RunTicketJob(row.device, usb, 400ms);
  EXPECT_EQ(usb.openedPath, row.opened);
  if (row.failure == nullptr) {
    EXPECT_FALSE(message) << *message;
    EXPECT_EQ(Hex(usb.received), Hex(ExpectedTicket()));
    EXPECT_EQ(usb.openedDisposition, DWORD{OPEN_EXISTING});
    EXPECT_EQ(usb.openedFlags & FILE_FLAG_OVERLAPPED, DWORD{FILE_FLAG_OVERLAPPED});
    EXPECT_EQ(usb.openedShare, 0u);
  } else {
    ASSERT_TRUE(message);
    EXPECT_EQ(message->rfind(std::string("Falha na impressão:") + row.failure, 0), 0u) << *message;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, UsbJobs,
    ::testing::Values(
        UsbJobRow{"ByMakeAndModel", "usb:EPSON TM-T20II", nullptr, nullptr, Path(4)},
        UsbJobRow{"AnyCaseAndSpacesAround", " USB: epson tm-t20ii (2) ", nullptr, nullptr, Path(1)},
        UsbJobRow{"ByItsPort", "usb:USB001", nullptr, nullptr, Path(2, L"vid_0519&pid_0003")},
        UsbJobRow{"ByItsPortInAnyCase", "usb:usb003", nullptr, nullptr, Path(1)},
        UsbJobRow{"APortNoPrinterHas", "usb:USB004", nullptr,
                  "Não há nenhuma impressora USB \"usb:USB004\" ligada", L""},
        UsbJobRow{"NotPluggedIn", "usb:Zebra", nullptr,
                  "Não há nenhuma impressora USB \"usb:Zebra\" ligada", L""},
        UsbJobRow{"APrinterThatTakesNothingTimesOut", "usb:Star TSP100",
                  [](FakeUsb& u) {
                    u.writes = {{WriteStep::Pend}};
                    u.reportsQueue = false;
                  },
                  "Tempo esgotado: o dispositivo \"usb:Star TSP100\"",
                  Path(2, L"vid_0519&pid_0003")},
        UsbJobRow{"AnUnpluggedPrinterMidTicket", "usb:Star TSP100",
                  [](FakeUsb& u) { u.writes = {{WriteStep::Fail, 0, ERROR_DEVICE_NOT_CONNECTED}}; },
                  "O dispositivo \"usb:Star TSP100\" não está disponível",
                  Path(2, L"vid_0519&pid_0003")}),
    [](const auto& info) { return std::string(info.param.name); });

// A USB printer that answers requests through ReadFile as a test tells it to. A read pends
// until there is something to read; the printer's answer to a request is there as soon as the
// request is written. Reads and writes are told apart by their OVERLAPPED.
class AnsweringUsb : public FakeUsb {
 public:
  std::map<Bytes, Bytes> answers;  // request (DLE EOT n, GS I n) -> what comes back
  std::size_t piece = 0;           // at most this many bytes a read; 0: all there is
  DWORD readError = 0;             // ReadFile fails with it at once
  DWORD laterError = 0;            // a read pends, then ends with it once a request came
  int reads = 0, readCancels = 0;

  // Each opening starts with nothing asked: a ticket between two askings is no request.
  HANDLE CreateFileW(const wchar_t* path, DWORD access, DWORD share, DWORD disposition,
                     DWORD flags) override {
    requests_.clear();
    outgoing_.clear();
    return FakePort::CreateFileW(path, access, share, disposition, flags);
  }

  BOOL WriteFile(HANDLE handle, const void* data, DWORD size, DWORD* written,
                 OVERLAPPED* overlapped) override {
    const BOOL ok = FakePort::WriteFile(handle, data, size, written, overlapped);
    requests_.append(static_cast<const char*>(data), size);
    while (requests_.size() >= 3) {
      const auto answer = answers.find(requests_.substr(0, 3));
      if (answer != answers.end()) outgoing_ += answer->second;
      requests_.erase(0, 3);
      asked_ = true;
    }
    Complete();
    return ok;
  }

  BOOL ReadFile(HANDLE, void* buffer, DWORD size, DWORD*, OVERLAPPED* overlapped) override {
    ++reads;
    if (readError != 0) {
      ::SetLastError(readError);
      return FALSE;
    }
    read_ = {overlapped, static_cast<char*>(buffer), size};
    Complete();
    ::SetLastError(ERROR_IO_PENDING);
    return FALSE;
  }

  BOOL GetOverlappedResult(HANDLE handle, OVERLAPPED* overlapped, DWORD* transferred,
                           BOOL wait) override {
    if (overlapped != lastRead_)
      return FakePort::GetOverlappedResult(handle, overlapped, transferred, wait);
    *transferred = readGot_;
    if (readEnd_ == 0) return TRUE;
    ::SetLastError(readEnd_);
    return FALSE;
  }

  BOOL CancelIoEx(HANDLE handle, OVERLAPPED* overlapped) override {
    if (overlapped != read_.overlapped) return FakePort::CancelIoEx(handle, overlapped);
    ++readCancels;
    End(0, ERROR_OPERATION_ABORTED);
    return TRUE;
  }

  bool readPending() const { return read_.overlapped != nullptr; }

 private:
  struct Read {
    OVERLAPPED* overlapped = nullptr;
    char* buffer = nullptr;
    DWORD size = 0;
  };

  void Complete() {
    if (!read_.overlapped) return;
    if (!outgoing_.empty()) {
      std::size_t n = std::min<std::size_t>(outgoing_.size(), read_.size);
      if (piece != 0) n = std::min(n, piece);
      std::memcpy(read_.buffer, outgoing_.data(), n);
      outgoing_.erase(0, n);
      End(static_cast<DWORD>(n), 0);
    } else if (laterError != 0 && asked_) {
      End(0, laterError);
    }
  }

  void End(DWORD got, DWORD error) {
    readGot_ = got;
    readEnd_ = error;
    lastRead_ = read_.overlapped;
    ::SetEvent(std::exchange(read_, Read{}).overlapped->hEvent);
  }

  Bytes requests_, outgoing_;
  bool asked_ = false;
  Read read_;
  OVERLAPPED* lastRead_ = nullptr;
  DWORD readGot_ = 0, readEnd_ = 0;
};

Bytes Byte(int b) { return Bytes(1, static_cast<char>(b)); }

std::map<Bytes, Bytes> Reporting(int dleEot1, int dleEot2, int dleEot3, int dleEot4) {
  std::map<Bytes, Bytes> answers = {
      {"\x10\x04\x01", Byte(dleEot1)}, {"\x10\x04\x02", Byte(dleEot2)},
      {"\x10\x04\x03", Byte(dleEot3)}, {"\x10\x04\x04", Byte(dleEot4)}};
  for (const auto& [n, answer] : kFakeIdentityAnswers) answers["\x1DI" + Byte(n)] = answer;
  return answers;
}

StatusOptions Quick() {
  StatusOptions options;
  options.perRequest = 300ms;
  options.whole = 1200ms;
  return options;
}

struct UsbStatusRow {
  const char* name;
  std::string device;
  std::function<void(AnsweringUsb&)> setUp;
  std::vector<std::string> lines;  // empty: the asking fails with `failure`
  std::string failure;
  std::wstring opened;
};
void PrintTo(const UsbStatusRow& row, std::ostream* out) { *out << row.name; }

class UsbStatus : public ::testing::TestWithParam<UsbStatusRow> {};

// --status on a usb: name: the requests of every other link, the answers through ReadFile, and
// "sem resposta por USB" where none come, within the bounds; the read in flight cancelled and
// the handle closed once the asking is over.
TEST_P(UsbStatus, AsksThroughReadFile) {
  const UsbStatusRow& row = GetParam();
  AnsweringUsb usb;
  row.setUp(usb);
  const auto started = Clock::now();
  std::vector<std::string> lines;
  std::optional<PrintFailure> failure;
  try {
    lines = StatusLines(QueryPrinterStatus(row.device, Quick(), usb));
  } catch (const PrintFailure& f) {
    failure = f;
  }
  const auto took = Clock::now() - started;
  EXPECT_EQ(usb.openedPath, row.opened);
  EXPECT_EQ(usb.openedAccess, DWORD{GENERIC_READ | GENERIC_WRITE});
  EXPECT_EQ(usb.openedShare, 0u);
  EXPECT_EQ(usb.openedFlags & FILE_FLAG_OVERLAPPED, DWORD{FILE_FLAG_OVERLAPPED});
  EXPECT_EQ(Hex(usb.received.substr(0, 3)), Hex("\x10\x04\x01"));
  EXPECT_FALSE(usb.readPending());
  EXPECT_EQ(usb.closes, 1);
  EXPECT_LT(took, 1500ms);  // the whole bound, and a little
  if (row.lines.empty()) {
    ASSERT_TRUE(failure) << "answered";
    EXPECT_EQ(failure->code(), FailureCode::NoAnswer);
    EXPECT_EQ(failure->description(), row.failure);
  } else {
    ASSERT_FALSE(failure) << failure->description();
    EXPECT_EQ(lines, row.lines);
  }
}

const std::string kSilent =
    "a impressora não respondeu: sem resposta por USB de \"usb:EPSON TM-T20II\" ao pedido de "
    "estado (DLE EOT) em 300 ms; muitas impressoras USB não respondem por aqui";

INSTANTIATE_TEST_SUITE_P(
    Printers, UsbStatus,
    ::testing::Values(
        UsbStatusRow{"Ready", "usb:EPSON TM-T20II",
                     [](AnsweringUsb& u) { u.answers = Reporting(0x12, 0x12, 0x12, 0x12); },
                     kReadyLines, "", Path(4)},
        UsbStatusRow{"ReadyOneByteAtATime", "usb:USB002",
                     [](AnsweringUsb& u) {
                       u.answers = Reporting(0x12, 0x12, 0x12, 0x12);
                       u.piece = 1;
                     },
                     kReadyLines, "", Path(4)},
        UsbStatusRow{"PaperOut", "usb:EPSON TM-T20II",
                     [](AnsweringUsb& u) { u.answers = Reporting(0x1A, 0x32, 0x12, 0x72); },
                     {"identificação não pedida: a impressora só a envia quando está em linha",
                      "fora de linha", "tampa fechada", "sem papel",
                      "não está pronta: fora de linha, sem papel"},
                     "", Path(4)},
        UsbStatusRow{"Silent", "usb:EPSON TM-T20II", [](AnsweringUsb&) {}, {}, kSilent, Path(4)},
        UsbStatusRow{"ReadFileNotADriverFunction", "usb:EPSON TM-T20II",
                     [](AnsweringUsb& u) { u.readError = ERROR_INVALID_FUNCTION; },
                     {},
                     "a impressora não respondeu: sem resposta por USB de \"usb:EPSON "
                     "TM-T20II\": o controlador USB do Windows não lê desta impressora (erro 1 "
                     "do Windows)",
                     Path(4)},
        UsbStatusRow{"ReadEndsNotSupported", "usb:usb003",
                     [](AnsweringUsb& u) { u.laterError = ERROR_NOT_SUPPORTED; },
                     {},
                     "a impressora não respondeu: sem resposta por USB de \"usb:usb003\": o "
                     "controlador USB do Windows não lê desta impressora (erro 50 do Windows)",
                     Path(1)}),
    [](const auto& info) { return std::string(info.param.name); });

// A silent printer gets its one wait, not more: the bound holds.
TEST(UsbStatusBounds, ASilentPrinterIsGivenUpOnAtItsBound) {
  AnsweringUsb usb;
  const auto started = Clock::now();
  EXPECT_THROW(QueryPrinterStatus("usb:EPSON TM-T20II", Quick(), usb), PrintFailure);
  const auto took = Clock::now() - started;
  EXPECT_GE(took, 280ms);
  EXPECT_LT(took, 1200ms);
  EXPECT_EQ(usb.readCancels, 1);
  EXPECT_EQ(Hex(usb.received), Hex("\x10\x04\x01"));  // nothing more was asked
}

// Ctrl+C while the printer is awaited: the read is cancelled, the handle closed, the asking
// ends as interrupted at once.
TEST(UsbStatusBounds, TheCancelEventEndsTheWait) {
  AnsweringUsb usb;
  const HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread press([event] {
    std::this_thread::sleep_for(100ms);
    ::SetEvent(event);
  });
  StatusOptions options;  // the usual 1 s per request
  options.cancelFd = CancelNumber(event);
  const auto started = Clock::now();
  std::optional<PrintFailure> failure;
  try {
    QueryPrinterStatus("usb:EPSON TM-T20II", options, usb);
  } catch (const PrintFailure& f) {
    failure = f;
  }
  const auto took = Clock::now() - started;
  press.join();
  ::CloseHandle(event);
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->code(), FailureCode::Interrupted) << failure->description();
  EXPECT_LT(took, 700ms);
  EXPECT_GE(usb.readCancels, 1);
  EXPECT_FALSE(usb.readPending());
  EXPECT_EQ(usb.closes, 1);
}

// The window's ticket to the USB printer.
QrPrintSettings UsbTicket() {
  QrPrintSettings settings;
  settings.dataText = "QR test";
  settings.deviceName = "usb:EPSON TM-T20II";
  settings.moduleSizeText = std::string(kDefaultModuleSizeText);
  return settings;
}

// --check-status: asked before and after, the ticket between on its own opening; a printer that
// says nothing gets no ticket.
TEST(UsbCheckedTicket, ReadyPrinterGetsRequestsTicketRequests) {
  AnsweringUsb usb;
  usb.answers = Reporting(0x12, 0x12, 0x12, 0x12);
  RecordingReporter reporter;
  PrintQrTestWithStatusCheck(UsbTicket(), reporter, {}, Quick(), usb);
  EXPECT_TRUE(reporter.messages.empty()) << reporter.messages.front();
  const Bytes requests = "\x10\x04\x01\x10\x04\x02\x10\x04\x03\x10\x04\x04";
  EXPECT_EQ(Hex(usb.received), Hex(requests + ExpectedTicket() + requests));
  EXPECT_EQ(usb.closes, 3);
}

TEST(UsbCheckedTicket, SilentPrinterGetsNothing) {
  AnsweringUsb usb;
  RecordingReporter reporter;
  PrintQrTestWithStatusCheck(UsbTicket(), reporter, {}, Quick(), usb);
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(reporter.messages[0], "Falha na impressão:" + kSilent + "; nada foi impresso");
  EXPECT_EQ(Hex(usb.received), Hex("\x10\x04\x01"));
}

}  // namespace
}  // namespace qrticket::testing
