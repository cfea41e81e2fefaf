// Device names as the operator types them: ports, CUPS queues, network printers, paths.
#include <gtest/gtest.h>

#include <cctype>
#include <optional>

#include "devices/device_name.h"

namespace qrticket {
namespace {

using Kind = DeviceTarget::Kind;

struct LocalRow {
  const char* name;
  std::string typed;
  Kind kind;
  std::string path;
};

void PrintTo(const LocalRow& row, std::ostream* out) { *out << row.name; }

class LocalNames : public ::testing::TestWithParam<LocalRow> {};

TEST_P(LocalNames, Resolve) {
  const DeviceTarget target = ResolveDeviceName(GetParam().typed);
  EXPECT_EQ(target.kind, GetParam().kind);
  EXPECT_EQ(target.path, GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, LocalNames,
    ::testing::Values(
        LocalRow{"UsbPrinter", "/dev/usb/lp0", Kind::Path, "/dev/usb/lp0"},
        LocalRow{"LeadingSpaceKeptInAPath", " /dev/usb/lp0", Kind::Path, " /dev/usb/lp0"},
        LocalRow{"Dash", "-", Kind::StandardOutput, ""},
        LocalRow{"DoubleDashIsAPath", "--", Kind::Path, "--"},
        LocalRow{"OtherSchemeIsAPath", "udp://printer", Kind::Path, "udp://printer"},
        LocalRow{"OneSlashIsAPath", "tcp:/printer", Kind::Path, "tcp:/printer"},
        LocalRow{"ComWithoutNumberIsAPath", "COM:", Kind::Path, "COM:"},
        LocalRow{"ComWithWordIsAPath", "COMx", Kind::Path, "COMx"},
        LocalRow{"PortInsideAPath", "./COM1", Kind::Path, "./COM1"},
        LocalRow{"SpaceInsideTheName", "COM 1", Kind::Path, "COM 1"},
        // A port name with a colon and more after it is never a file: settings, or refused.
        LocalRow{"TwoColons", "COM1::", Kind::Invalid, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Port names: `path` is empty for a port-shaped name whose number is out of range, which then
// fails instead of becoming a file.
struct PortRow {
  const char* name;
  std::string typed;
  std::string portName;
  std::string path;
};

void PrintTo(const PortRow& row, std::ostream* out) { *out << row.name; }

class PortNames : public ::testing::TestWithParam<PortRow> {};

TEST_P(PortNames, Resolve) {
  const DeviceTarget target = ResolveDeviceName(GetParam().typed);
  EXPECT_EQ(target.kind, Kind::Port);
  EXPECT_EQ(target.portName, GetParam().portName);
  EXPECT_EQ(target.path, GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(
    Ports, PortNames,
    ::testing::Values(
        PortRow{"Lpt1", "LPT1:", "LPT1:", "/dev/lp0"},
        PortRow{"Lpt2LowerCaseNoColon", "lpt2", "lpt2", "/dev/lp1"},
        PortRow{"Lpt3", "LPT3:", "LPT3:", "/dev/lp2"},
        PortRow{"Lpt4OutOfRange", "LPT4:", "LPT4:", ""},
        PortRow{"Lpt0OutOfRange", "LPT0", "LPT0", ""},
        PortRow{"Com1", "COM1:", "COM1:", "/dev/ttyS0"},
        PortRow{"Com6MixedCase", "cOm6", "cOm6", "/dev/ttyS5"},
        PortRow{"Com7", "COM7:", "COM7:", "/dev/ttyS6"},
        PortRow{"Com10", "COM10", "COM10", "/dev/ttyS9"},
        PortRow{"Com256", "COM256:", "COM256:", "/dev/ttyS255"},
        PortRow{"Com257OutOfRange", "COM257:", "COM257:", ""},
        PortRow{"Com0OutOfRange", "COM0", "COM0", ""},
        PortRow{"LeadingZero", "COM01", "COM01", ""},
        PortRow{"HugeNumber", "COM99999999999999999999", "COM99999999999999999999", ""},
        PortRow{"SpacesAround", " LPT1: ", "LPT1:", "/dev/lp0"},
        PortRow{"TabsAndSpaces", "\t COM1 \t", "COM1", "/dev/ttyS0"},
        PortRow{"LeadingSpace", " COM1:", "COM1:", "/dev/ttyS0"},
        PortRow{"SpacesAroundOutOfRange", "  COM300:  ", "COM300:", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Every port in every spelling: upper and lower case, with and without the colon, with spaces
// around; and the way back from the device file to the port name.
TEST(PortNames, EveryPortInEverySpelling) {
  struct Family {
    const char* prefix;
    int last;
    const char* device;
  };
  for (const Family family : {Family{"COM", kLastSerialPort, "/dev/ttyS"},
                              Family{"LPT", kLastParallelPort, "/dev/lp"}}) {
    for (int n = 1; n <= family.last + 1; ++n) {
      const std::string number = std::to_string(n);
      const std::string path = n <= family.last ? family.device + std::to_string(n - 1) : "";
      std::string lower = family.prefix;
      for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      for (const std::string& typed :
           {family.prefix + number + ":", family.prefix + number, lower + number + ":",
            " " + lower + number + " "}) {
        const DeviceTarget target = ResolveDeviceName(typed);
        EXPECT_EQ(target.kind, Kind::Port) << typed;
        EXPECT_EQ(target.path, path) << typed;
      }
      if (!path.empty()) {
        EXPECT_EQ(PortNameOf(path), family.prefix + number + ":");
      }
    }
  }
}

TEST(PortNames, DeviceFilesWithoutAPortName) {
  for (const char* path : {"/dev/ttyS256", "/dev/lp3", "/dev/ttyS", "/dev/ttyS01", "/dev/ttyUSB0",
                           "/dev/usb/lp0", "/dev/lp0x", "ttyS0"})
    EXPECT_EQ(PortNameOf(path), "") << path;
}

// Settings after a serial device: the device, its settings, or Invalid naming the field. After
// anything else the colon stays part of the name.
struct SerialRow {
  const char* name;
  std::string typed;
  Kind kind;
  std::string path;                       // for Port and Path
  std::string portName;                   // for Port
  std::optional<std::string> settings;    // SerialSettingsText, when there are settings
  std::string why;                        // for Invalid
};

void PrintTo(const SerialRow& row, std::ostream* out) { *out << row.name; }

class SerialNames : public ::testing::TestWithParam<SerialRow> {};

TEST_P(SerialNames, Resolve) {
  const SerialRow& row = GetParam();
  const DeviceTarget target = ResolveDeviceName(row.typed);
  EXPECT_EQ(target.kind, row.kind);
  EXPECT_EQ(target.path, row.path);
  EXPECT_EQ(target.portName, row.portName);
  EXPECT_EQ(target.serial ? std::optional(SerialSettingsText(*target.serial)) : std::nullopt,
            row.settings);
  EXPECT_EQ(target.why, row.why);
}

SerialRow Port(const char* name, std::string typed, std::string path, std::string portName,
               std::string settings) {
  return {name, std::move(typed), Kind::Port, std::move(path), std::move(portName),
          std::move(settings), ""};
}
SerialRow Tty(const char* name, std::string typed, std::string path, std::string settings) {
  return {name, std::move(typed), Kind::Path, std::move(path), "", std::move(settings), ""};
}
SerialRow PlainPath(const char* name, std::string typed) {
  std::string path = typed;
  return {name, std::move(typed), Kind::Path, std::move(path), "", std::nullopt, ""};
}
SerialRow Refused(const char* name, std::string typed, std::string why) {
  return {name, std::move(typed), Kind::Invalid, "", "", std::nullopt, std::move(why)};
}

INSTANTIATE_TEST_SUITE_P(
    Serial, SerialNames,
    ::testing::Values(
        Port("ComWithSettings", "COM3:19200,n,8,1", "/dev/ttyS2", "COM3:", "19200,n,8,1"),
        Port("ComSpeedOnly", "com3:9600", "/dev/ttyS2", "com3:", "9600,n,8,1"),
        Port("ComFlow", "COM1:9600,n,8,1,d", "/dev/ttyS0", "COM1:", "9600,n,8,1,d"),
        Port("SpacesAround", " COM2 : 38400 ", "/dev/ttyS1", "COM2:", "38400,n,8,1"),
        Port("OutOfRangeStaysAPort", "COM300:9600", "", "COM300:", "9600,n,8,1"),
        Refused("ComBadSpeed", "COM3:12x00", "velocidade inválida: 12x00"),
        Refused("ComWordAfterColon", "COM3:abc", "velocidade inválida: abc"),
        Refused("ComBadParity", "COM3:9600,z", "paridade inválida: z (n, e, o, m ou s)"),
        Refused("ParallelPort", "LPT1:9600", "LPT1: não é uma porta série: as definições só se "
                                             "aplicam a portas série"),
        PlainPath("FileWithColon", "notas:9600"),
        PlainPath("FolderAndColon", "/tmp/notas:9600"),
        PlainPath("NotAPortName", "COMX:9600"),
        // A COM port's name with a colon after it is never a file.
        Refused("ComSettingsTwice", "COM3:9600:9600", "velocidade inválida: 9600:9600")),
    [](const auto& info) { return std::string(info.param.name); });

// Linux's tty paths (Windows has its own: windows_names_test).
INSTANTIATE_TEST_SUITE_P(
    Ttys, SerialNames,
    ::testing::Values(
        Tty("UsbAdapter", "/dev/ttyUSB0:115200,n,8,1,r", "/dev/ttyUSB0", "115200,n,8,1,r"),
        Tty("Acm", "/dev/ttyACM0:9600", "/dev/ttyACM0", "9600,n,8,1"),
        Tty("Bluetooth", "/dev/rfcomm0:19200", "/dev/rfcomm0", "19200,n,8,1"),
        Tty("ById", "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A5-if00-port0:9600,e,7,1",
            "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A5-if00-port0", "9600,e,7,1"),
        Tty("PseudoTerminal", "/dev/pts/7:19200", "/dev/pts/7", "19200,n,8,1"),
        Tty("TtyS", "/dev/ttyS0:2400", "/dev/ttyS0", "2400,n,8,1"),
        Refused("TtyBadSpeed", "/dev/ttyUSB0:12x00", "velocidade inválida: 12x00"),
        Refused("TtyBadData", "/dev/ttyUSB0:9600,n,9", "bits de dados inválidos: 9 (5 a 8)"),
        PlainPath("ByPathHasColons", "/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0"),
        // A USB interface's name ends in ":1.0", no settings: missing, it stays the name, to be
        // found missing.
        PlainPath("ByPathEndsInInterface", "/dev/serial/by-path/pci-0000:7f:1f.7-usb-0:9:1.0"),
        Tty("ByPathWithSettings", "/dev/serial/by-path/pci-0000:7f:1f.7-usb-0:9:1.0:9600",
            "/dev/serial/by-path/pci-0000:7f:1f.7-usb-0:9:1.0", "9600,n,8,1"),
        PlainPath("ConsoleIsNotSerial", "/dev/tty:9600"),
        PlainPath("UsbPrinterIsNotSerial", "/dev/usb/lp0:9600"),
        Tty("XrUsb", "/dev/ttyXRUSB0:9600", "/dev/ttyXRUSB0", "9600,n,8,1"),
        Tty("Ch341", "/dev/ttyCH341USB0:9600", "/dev/ttyCH341USB0", "9600,n,8,1"),
        Refused("TtyWordAfterColon", "/dev/ttyUSB0:abc", "velocidade inválida: abc"),
        Refused("PtyWordAfterColon", "/dev/pts/7:abc", "velocidade inválida: abc"),
        // Windows' form of a COM port's name (a path there: windows_names_test).
        Port("ComInTheDeviceNamespace", "\\\\.\\COM3:9600", "/dev/ttyS2", "COM3:",
             "9600,n,8,1"),
        Refused("ComInTheDeviceNamespaceBadSpeed", "\\\\.\\COM3:96x",
                "velocidade inválida: 96x")),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SerialNames, NameWithTheSettingsFound) {
  const SerialSettings found{.speed = 19200};
  EXPECT_EQ(NameWithSettings("COM3", found), "COM3:19200,n,8,1");
  EXPECT_EQ(NameWithSettings(" com3: ", found), "com3:19200,n,8,1");
  EXPECT_EQ(NameWithSettings("COM3:9600,e,7,1", found), "COM3:19200,n,8,1");
}

struct CupsRow {
  const char* name;
  std::string typed;
  bool valid;
  std::string queue;
};

void PrintTo(const CupsRow& row, std::ostream* out) { *out << row.name; }

class CupsNames : public ::testing::TestWithParam<CupsRow> {};

TEST_P(CupsNames, Resolve) {
  const DeviceTarget target = ResolveDeviceName(GetParam().typed);
  EXPECT_EQ(target.kind, GetParam().valid ? Kind::Cups : Kind::Invalid);
  if (GetParam().valid) {
    EXPECT_EQ(target.queue, GetParam().queue);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cups, CupsNames,
    ::testing::Values(CupsRow{"Queue", "cups:Recibos", true, "Recibos"},
                      CupsRow{"DefaultDestination", "cups:", true, ""},
                      CupsRow{"SchemeInCapitals", "CUPS:Caixa_1", true, "Caixa_1"},
                      CupsRow{"SpacesAround", "  cups:Caixa ", true, "Caixa"},
                      CupsRow{"Utf8Name", "cups:Cozinha-Ré", true, "Cozinha-Ré"},
                      CupsRow{"Longest", "cups:" + std::string(127, 'q'), true, std::string(127, 'q')},
                      CupsRow{"TooLong", "cups:" + std::string(128, 'q'), false, ""},
                      CupsRow{"Slash", "cups:a/b", false, ""},
                      CupsRow{"SpaceInside", "cups:a b", false, ""},
                      CupsRow{"Hash", "cups:a#b", false, ""},
                      CupsRow{"Quote", "cups:\"a\"", false, ""},
                      CupsRow{"UriForm", "cups://host/q", false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct NetworkRow {
  const char* name;
  std::string typed;
  bool valid;
  std::string host;
  std::uint16_t port;
  bool bracketed;
};

void PrintTo(const NetworkRow& row, std::ostream* out) { *out << row.name; }

class NetworkNames : public ::testing::TestWithParam<NetworkRow> {};

TEST_P(NetworkNames, Resolve) {
  const NetworkRow& row = GetParam();
  const DeviceTarget target = ResolveDeviceName(row.typed);
  if (!row.valid) {
    EXPECT_EQ(target.kind, Kind::Invalid);
    return;
  }
  EXPECT_EQ(target.kind, Kind::Tcp);
  EXPECT_EQ(target.host, row.host);
  EXPECT_EQ(target.port, row.port);
  EXPECT_EQ(target.bracketed, row.bracketed);
}

NetworkRow Bad(const char* name, std::string typed) { return {name, std::move(typed), false, "", 0, false}; }

INSTANTIATE_TEST_SUITE_P(
    Tcp, NetworkNames,
    ::testing::Values(
        NetworkRow{"NameDefaultPort", "tcp://printer", true, "printer", 9100, false},
        NetworkRow{"NameWithPort", "tcp://printer.shop.lan:9101", true, "printer.shop.lan", 9101, false},
        NetworkRow{"SchemeInCapitals", "TCP://10.0.0.7", true, "10.0.0.7", 9100, false},
        NetworkRow{"Port1", "tcp://127.0.0.1:1", true, "127.0.0.1", 1, false},
        NetworkRow{"Port65535", "tcp://127.0.0.1:65535", true, "127.0.0.1", 65535, false},
        NetworkRow{"Ipv6Bracketed", "tcp://[::1]", true, "::1", 9100, true},
        NetworkRow{"Ipv6ZoneAndPort", "tcp://[fe80::1%eth0]:9100", true, "fe80::1%eth0", 9100, true},
        Bad("Empty", "tcp://"),
        Bad("PortWithoutHost", "tcp://:9100"),
        Bad("ColonWithoutPort", "tcp://printer:"),
        Bad("Port0", "tcp://printer:0"),
        Bad("Port65536", "tcp://printer:65536"),
        Bad("PortWithLetters", "tcp://printer:91a0"),
        Bad("PortSigned", "tcp://printer:+9100"),
        Bad("Ipv6WithoutBrackets", "tcp://::1"),
        Bad("BracketNotClosed", "tcp://[::1"),
        Bad("JunkAfterBracket", "tcp://[::1]9100"),
        Bad("EmptyBrackets", "tcp://[]"),
        Bad("PathAfterHost", "tcp://printer/queue"),
        Bad("SpaceInHost", "tcp://my printer"),
        Bad("TrailingSpace", "tcp://printer "),
        Bad("UserPart", "tcp://me@printer")),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket
