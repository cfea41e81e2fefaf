// Discovery against fake /dev and /sys trees: which devices are found, under which name, with
// which description, and in which order.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>

#include "discovery/device_discovery.h"
#include "fake_device_tree.h"

namespace qrticket::testing {
namespace {

struct Found {
  std::string name;
  std::string description;
  bool operator==(const Found&) const = default;
};

void PrintTo(const Found& found, std::ostream* out) {
  *out << found.name << " | " << found.description;
}

struct DiscoveryRow {
  const char* name;
  std::function<void(FakeDeviceTree&)> build;
  std::vector<Found> expected;
  bool preview = false;
};

void PrintTo(const DiscoveryRow& row, std::ostream* out) { *out << row.name; }

class Discovery : public ::testing::TestWithParam<DiscoveryRow> {};

TEST_P(Discovery, FindsTheDevicesOfTheTree) {
  FakeDeviceTree tree;
  GetParam().build(tree);
  DiscoveryOptions options;
  options.root = tree.root();
  options.includeCups = false;
  options.includePreview = GetParam().preview;
  std::vector<Found> found;
  for (const DiscoveredDevice& device : DiscoverDevices(options)) {
    found.push_back({device.name, device.description});
    EXPECT_TRUE(device.writable) << device.name << ": root may write to anything";
  }
  EXPECT_EQ(found, GetParam().expected);
}

// A USB adapter as the kernel shows it: the tty's device folder sits under the interface,
// under the USB device that names maker and product.
void UsbSerialInSysfs(FakeDeviceTree& tree, const std::string& node, const std::string& maker,
                      const std::string& product) {
  const std::string usb = "/sys/devices/pci0000:00/usb1/1-1";
  tree.File(usb + "/idVendor", "0403");
  if (!maker.empty()) tree.File(usb + "/manufacturer", maker);
  tree.File(usb + "/product", product);
  tree.Folder(usb + "/1-1:1.0/" + node + "/tty/" + node);
  tree.Link("/sys/class/tty/" + node + "/device",
            "../../../devices/pci0000:00/usb1/1-1/1-1:1.0/" + node);
}

const char* const kEpsonId =
    "MFG:EPSON;CMD:ESC/POS,MLC;MDL:TM-T20II;CLS:PRINTER;DES:EPSON TM-T20II;";
const char* const kStableName = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
// A new pseudo-terminal's own settings, as Linux sets them: 38400 bit/s, 8N1, XON/XOFF.
const std::string kPtyOwn = "38400,n,8,1,x";

// Sets the line at `path` (a pty of the tree) to 19200 bit/s, two stop bits, RTS/CTS (a pty
// keeps those; Linux forces 8 data bits and no parity on it).
void SetLine(FakeDeviceTree& tree, const std::string& path) {
  const int fd = ::open((tree.root() / path.substr(1)).c_str(), O_RDWR | O_NOCTTY);
  termios t{};
  ::tcgetattr(fd, &t);
  ::cfsetospeed(&t, B19200);
  ::cfsetispeed(&t, B19200);
  t.c_cflag |= CSTOPB | CRTSCTS;
  t.c_iflag &= ~(IXON | IXOFF);
  ::tcsetattr(fd, TCSANOW, &t);
  ::close(fd);
}

INSTANTIATE_TEST_SUITE_P(
    Trees, Discovery,
    ::testing::Values(
        DiscoveryRow{"EmptyTree", [](FakeDeviceTree&) {}, {}},
        DiscoveryRow{"UsbPrinterNamedByItsDeviceId",
                     [](FakeDeviceTree& t) {
                       t.Fifo("/dev/usb/lp0");
                       t.File("/sys/class/usbmisc/lp0/device/ieee1284_id", kEpsonId);
                     },
                     {{"/dev/usb/lp0", "Impressora USB EPSON TM-T20II (ESC/POS)"}}},
        DiscoveryRow{"UsbPrinterWithoutDeviceId",
                     [](FakeDeviceTree& t) { t.Fifo("/dev/usb/lp1"); },
                     {{"/dev/usb/lp1", "Impressora USB"}}},
        DiscoveryRow{"UsbPrintersInNumericOrder",
                     [](FakeDeviceTree& t) {
                       t.Fifo("/dev/usb/lp10");
                       t.Fifo("/dev/usb/lp2");
                       t.Fifo("/dev/usb/lpx");  // no number: not a printer node
                     },
                     {{"/dev/usb/lp2", "Impressora USB"}, {"/dev/usb/lp10", "Impressora USB"}}},
        DiscoveryRow{"FolderIsNoDevice", [](FakeDeviceTree& t) { t.Folder("/dev/usb/lp0"); }, {}},
        DiscoveryRow{"RealUartsOnlyNotPlaceholders",
                     [](FakeDeviceTree& t) {
                       t.Pty("/dev/ttyS0");
                       t.File("/sys/class/tty/ttyS0/type", "4\n");
                       t.Fifo("/dev/ttyS1");
                       t.File("/sys/class/tty/ttyS1/type", "0\n");  // no UART behind it
                       t.Fifo("/dev/ttyS2");                        // no sysfs entry at all
                       t.Pty("/dev/ttyS9");
                       t.File("/sys/class/tty/ttyS9/type", "14\n");
                     },
                     {{"COM1:", "Porta série /dev/ttyS0 (UART 16550A), a " + kPtyOwn},
                      {"COM10:", "Porta série /dev/ttyS9 (UART NS16550A), a " + kPtyOwn}}},
        DiscoveryRow{"ConsoleIsNoted",
                     [](FakeDeviceTree& t) {
                       t.Pty("/dev/ttyS0");
                       t.File("/sys/class/tty/ttyS0/type", "4");
                       t.File("/sys/class/tty/ttyS0/console", "Y\n");
                     },
                     {{"COM1:", "Porta série /dev/ttyS0 (UART 16550A), consola do sistema"}}},
        DiscoveryRow{"EachPortAtItsOwnSettings",
                     [](FakeDeviceTree& t) {
                       t.Pty("/dev/ttyUSB0");
                       SetLine(t, "/dev/ttyUSB0");
                       t.Pty("/dev/ttyS1");
                       t.File("/sys/class/tty/ttyS1/type", "4");
                       SetLine(t, "/dev/ttyS1");
                       t.Fifo("/dev/ttyACM0");  // no tty: no settings to show
                     },
                     {{"/dev/ttyUSB0", "Porta série USB /dev/ttyUSB0, a 19200,n,8,2,r"},
                      {"/dev/ttyACM0", "Porta série USB /dev/ttyACM0"},
                      {"COM2:", "Porta série /dev/ttyS1 (UART 16550A), a 19200,n,8,2,r"}}},
        DiscoveryRow{"UartBeyondCom256KeepsItsPath",
                     [](FakeDeviceTree& t) {
                       t.Fifo("/dev/ttyS256");
                       t.File("/sys/class/tty/ttyS256/type", "4");
                     },
                     {{"/dev/ttyS256", "Porta série /dev/ttyS256 (UART 16550A)"}}},
        DiscoveryRow{"UsbAdapterUnderItsStableName",
                     [](FakeDeviceTree& t) {
                       t.Pty("/dev/ttyUSB0");
                       t.Link(kStableName, "../../ttyUSB0");
                       UsbSerialInSysfs(t, "ttyUSB0", "FTDI", "FT232R USB UART");
                     },
                     {{kStableName, "Porta série USB /dev/ttyUSB0: FTDI FT232R USB UART, a " + kPtyOwn}}},
        DiscoveryRow{"UsbModemPrinterWithoutStableName",
                     [](FakeDeviceTree& t) {
                       t.Fifo("/dev/ttyACM0");
                       UsbSerialInSysfs(t, "ttyACM0", "Xprinter", "Xprinter USB Printer P");
                     },
                     {{"/dev/ttyACM0", "Porta série USB /dev/ttyACM0: Xprinter USB Printer P"}}},
        DiscoveryRow{"StableNameOfAnotherNodeIsIgnored",
                     [](FakeDeviceTree& t) {
                       t.Fifo("/dev/ttyUSB1");
                       t.Link(kStableName, "../../ttyUSB0");  // unplugged: its node is gone
                     },
                     {{"/dev/ttyUSB1", "Porta série USB /dev/ttyUSB1"}}},
        DiscoveryRow{"BluetoothSerial",
                     [](FakeDeviceTree& t) { t.Pty("/dev/rfcomm0"); },
                     {{"/dev/rfcomm0", "Porta série Bluetooth /dev/rfcomm0"}}},
        DiscoveryRow{"ParallelPorts",
                     [](FakeDeviceTree& t) {
                       t.Fifo("/dev/lp0");
                       t.File("/proc/sys/dev/parport/parport0/autoprobe",
                              "CLASS:PRINTER;\nMODEL:TM-U220;\nMANUFACTURER:EPSON;\n");
                       t.Fifo("/dev/lp3");
                     },
                     {{"LPT1:", "Porta paralela /dev/lp0: EPSON TM-U220"},
                      {"/dev/lp3", "Porta paralela /dev/lp3"}}},
        DiscoveryRow{"PreviewOnlyWhenAsked",
                     [](FakeDeviceTree&) {},
                     {{"VISUALIZAR:",
                       "Pré-visualização: mostra no ecrã o talão que a impressora imprimiria"}},
                     true},
        DiscoveryRow{"EveryKindInItsPlace",
                     [](FakeDeviceTree& t) {
                       t.Fifo("/dev/lp1");
                       t.Pty("/dev/ttyS0");
                       t.File("/sys/class/tty/ttyS0/type", "4");
                       t.Pty("/dev/rfcomm0");
                       t.Fifo("/dev/ttyACM0");
                       t.Fifo("/dev/ttyUSB0");
                       t.Fifo("/dev/usb/lp0");
                     },
                     {{"/dev/usb/lp0", "Impressora USB"},
                      {"/dev/ttyUSB0", "Porta série USB /dev/ttyUSB0"},
                      {"/dev/ttyACM0", "Porta série USB /dev/ttyACM0"},
                      {"/dev/rfcomm0", "Porta série Bluetooth /dev/rfcomm0"},
                      {"COM1:", "Porta série /dev/ttyS0 (UART 16550A), a " + kPtyOwn},
                      {"LPT2:", "Porta paralela /dev/lp1"},
                      {"VISUALIZAR:",
                       "Pré-visualização: mostra no ecrã o talão que a impressora imprimiria"}},
                     true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket::testing

namespace qrticket {
namespace {

// What a printer or a scheduler says of itself reaches the list as one line, and its control
// characters as bytes.
TEST(ShownDescription, OneLineWithoutControlCharacters) {
  const DiscoveredDevice device{.name = "cups:Caixa",
                                .description = "Fila CUPS: TM\x1B[2J\xC2\x9B" "31m\tpronta\n",
                                .writable = false,
                                .accessGroup = "lp"};
  EXPECT_EQ(ShownDescription(device),
            "Fila CUPS: TM[0x1B][2J[0x9B]31m pronta  — sem permissão: junte-se ao grupo lp");
}

}  // namespace
}  // namespace qrticket
