// Device names on Windows: installed printers, ports through the "\\.\" form (COM1: to
// COM256:, LPT1: to LPT3:), and the forms of path the device layer tells apart.
#include <gtest/gtest.h>

#include "devices/win/handle_device.h"
#include "devices/win/windows_names.h"
#include "fake_system_calls.h"

namespace qrticket::testing {
namespace {

struct PrinterNameRow {
  const char* name;
  std::string typed;
  std::optional<std::string> printer;
};
void PrintTo(const PrinterNameRow& row, std::ostream* out) { *out << row.name; }

class PrinterNames : public ::testing::TestWithParam<PrinterNameRow> {};

TEST_P(PrinterNames, AreTheNameAfterTheScheme) {
  EXPECT_EQ(InstalledPrinterName(GetParam().typed), GetParam().printer);
}

INSTANTIATE_TEST_SUITE_P(
    Printers, PrinterNames,
    ::testing::Values(
        PrinterNameRow{"NameWithSpaces", "printer:EPSON TM-T20 Receipt", "EPSON TM-T20 Receipt"},
        PrinterNameRow{"SchemeInCapitals", "PRINTER:Caixa", "Caixa"},
        PrinterNameRow{"NonAscii", "printer:Impressora Balcão", "Impressora Balcão"},
        PrinterNameRow{"SharedPrinter", "printer:\\\\caixa\\talao", "\\\\caixa\\talao"},
        PrinterNameRow{"NoName", "printer:", ""},
        PrinterNameRow{"NoColon", "printer", std::nullopt},
        PrinterNameRow{"SpacesAroundAreTyping", " printer:Caixa ", "Caixa"},
        PrinterNameRow{"SpaceAfterTheColon", "printer: Recibos", "Recibos"},
        PrinterNameRow{"OnlySpacesIsTheDefault", "printer:  ", ""},
        PrinterNameRow{"CupsIsNotWindows", "cups:Caixa", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

// What a typed port name opens, seen by the Win32 seam; or the failure, in range or not.
struct PortNameRow {
  const char* name;
  std::string typed;
  std::wstring opened;   // empty: nothing is opened
  const char* failure;   // the start of the message after "Falha na impressão:"; null: success
};
void PrintTo(const PortNameRow& row, std::ostream* out) { *out << row.name; }

class WindowsPorts : public ::testing::TestWithParam<PortNameRow> {};

TEST_P(WindowsPorts, OpenTheDeviceItself) {
  FakePort port;
  port.reportsQueue = false;
  const std::optional<std::string> message =
      RunTicketJob(GetParam().typed, port, std::chrono::milliseconds(500));
  EXPECT_EQ(port.openedPath, GetParam().opened);
  if (GetParam().failure == nullptr) {
    EXPECT_FALSE(message) << *message;
  } else {
    ASSERT_TRUE(message);
    EXPECT_EQ(message->rfind(std::string("Falha na impressão:") + GetParam().failure, 0), 0u)
        << *message;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Ports, WindowsPorts,
    ::testing::Values(
        PortNameRow{"Com1", "COM1:", L"\\\\.\\COM1", nullptr},
        PortNameRow{"Com6NoColon", "COM6", L"\\\\.\\COM6", nullptr},
        PortNameRow{"Com10LowerCase", "com10:", L"\\\\.\\COM10", nullptr},
        PortNameRow{"Com256", "COM256", L"\\\\.\\COM256", nullptr},
        PortNameRow{"SpacesAround", " COM3: ", L"\\\\.\\COM3", nullptr},
        PortNameRow{"Lpt3MixedCase", "lPt3", L"\\\\.\\LPT3", nullptr},
        PortNameRow{"Com257IsNoPort", "COM257", L"", "\"COM257\" não é uma porta"},
        PortNameRow{"Com0IsNoPort", "COM0:", L"", "\"COM0:\" não é uma porta"},
        PortNameRow{"LeadingZeroIsNoPort", "COM01", L"", "\"COM01\" não é uma porta"},
        PortNameRow{"Lpt4IsNoPort", "LPT4:", L"", "\"LPT4:\" não é uma porta"},
        PortNameRow{"DeviceFormAsTyped", "\\\\.\\COM3", L"\\\\.\\COM3", nullptr},
        PortNameRow{"CupsQueueIsNoWindowsName", "cups:Caixa", L"", "Nome de dispositivo inválido"}),
    [](const auto& info) { return std::string(info.param.name); });

// A port that Windows does not have is named with the path that was tried.
TEST(WindowsPorts, AMissingPortSaysWhichPathWasTried) {
  FakePort port;
  port.openError = ERROR_FILE_NOT_FOUND;
  const std::optional<std::string> message = RunTicketJob("com7:", port, std::chrono::seconds(1));
  ASSERT_TRUE(message);
  EXPECT_EQ(*message, "Falha na impressão:A porta \"com7:\" (\\\\.\\COM7) não existe");
}

struct PathRow {
  const char* name;
  std::string path;
  bool deviceNamespace;
  bool serial;
};
void PrintTo(const PathRow& row, std::ostream* out) { *out << row.name; }

class DevicePaths : public ::testing::TestWithParam<PathRow> {};

TEST_P(DevicePaths, AreSortedByTheirForm) {
  EXPECT_EQ(IsDeviceNamespacePath(GetParam().path), GetParam().deviceNamespace);
  EXPECT_EQ(IsSerialPortPath(GetParam().path), GetParam().serial);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, DevicePaths,
    ::testing::Values(PathRow{"SerialPort", "\\\\.\\COM12", true, true},
                      PathRow{"SerialPortLowerCase", "\\\\.\\com3", true, true},
                      PathRow{"ParallelPort", "\\\\.\\LPT1", true, false},
                      PathRow{"UsbPrinterInterface", "\\\\?\\usb#vid_04b8&pid_0202#1", true, false},
                      PathRow{"NoNumber", "\\\\.\\COM", true, false},
                      PathRow{"NotANumber", "\\\\.\\COMX", true, false},
                      PathRow{"PlainComName", "COM3", false, false},
                      PathRow{"SharedPrinter", "\\\\caixa\\talao", false, false},
                      PathRow{"File", "C:\\t.bin", false, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket::testing
