// Device names on Windows: ports up to COM256 through the "\\.\" form, installed printers,
// and everything else a path for Windows to resolve.
#include <gtest/gtest.h>

#include "device_name.h"
#include "handle_device.h"

namespace qrticket {
namespace {

using Kind = DeviceTarget::Kind;

struct WindowsNameRow {
  const char* name;
  std::string typed;
  Kind kind;
  std::string path;
};
void PrintTo(const WindowsNameRow& row, std::ostream* out) { *out << row.name; }

class WindowsNames : public ::testing::TestWithParam<WindowsNameRow> {};

TEST_P(WindowsNames, Resolve) {
  const DeviceTarget target = ResolveDeviceName(GetParam().typed);
  EXPECT_EQ(target.kind, GetParam().kind);
  EXPECT_EQ(target.path, GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(
    Ports, WindowsNames,
    ::testing::Values(
        WindowsNameRow{"Com1", "COM1:", Kind::Path, "\\\\.\\COM1"},
        WindowsNameRow{"Com6NoColon", "COM6", Kind::Path, "\\\\.\\COM6"},
        WindowsNameRow{"Com10LowerCase", "com10:", Kind::Path, "\\\\.\\COM10"},
        WindowsNameRow{"Com256", "COM256", Kind::Path, "\\\\.\\COM256"},
        WindowsNameRow{"Com257IsAPath", "COM257", Kind::Path, "COM257"},
        WindowsNameRow{"Com0IsAPath", "COM0", Kind::Path, "COM0"},
        WindowsNameRow{"LeadingZeroIsAPath", "COM01", Kind::Path, "COM01"},
        WindowsNameRow{"SignIsAPath", "COM+1", Kind::Path, "COM+1"},
        WindowsNameRow{"TwoColonsIsAPath", "COM1::", Kind::Path, "COM1::"},
        WindowsNameRow{"Lpt1", "LPT1:", Kind::Path, "\\\\.\\LPT1"},
        WindowsNameRow{"Lpt3MixedCase", "lPt3", Kind::Path, "\\\\.\\LPT3"},
        WindowsNameRow{"LeadingSpaceKept", " COM1:", Kind::Path, " COM1:"},
        WindowsNameRow{"DeviceFormAsTyped", "\\\\.\\COM3", Kind::Path, "\\\\.\\COM3"},
        WindowsNameRow{"SharedPrinter", "\\\\caixa\\talao", Kind::Path, "\\\\caixa\\talao"},
        WindowsNameRow{"FileWithDrive", "C:\\talões\\t.bin", Kind::Path, "C:\\talões\\t.bin"},
        WindowsNameRow{"Dash", "-", Kind::StandardOutput, ""}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Printers, WindowsNames,
    ::testing::Values(
        WindowsNameRow{"NameWithSpaces", "printer:EPSON TM-T20 Receipt", Kind::Printer,
                       "EPSON TM-T20 Receipt"},
        WindowsNameRow{"SchemeInCapitals", "PRINTER:Caixa", Kind::Printer, "Caixa"},
        WindowsNameRow{"NonAscii", "printer:Impressora Balcão", Kind::Printer, "Impressora Balcão"},
        WindowsNameRow{"SharedPrinterByName", "printer:\\\\caixa\\talao", Kind::Printer,
                       "\\\\caixa\\talao"},
        WindowsNameRow{"NoName", "printer:", Kind::Invalid, ""},
        WindowsNameRow{"NoColonIsAPath", "printer", Kind::Path, "printer"}),
    [](const auto& info) { return std::string(info.param.name); });

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
}  // namespace qrticket
