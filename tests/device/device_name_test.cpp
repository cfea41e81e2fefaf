// Device names as the operator types them: ports, network printers, paths.
#include <gtest/gtest.h>

#include "device_name.h"

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
    Ports, LocalNames,
    ::testing::Values(
        LocalRow{"Lpt1", "LPT1:", Kind::Path, "/dev/lp0"},
        LocalRow{"Lpt2LowerCaseNoColon", "lpt2", Kind::Path, "/dev/lp1"},
        LocalRow{"Lpt3IsAPath", "LPT3:", Kind::Path, "LPT3:"},
        LocalRow{"Com1", "COM1:", Kind::Path, "/dev/ttyS0"},
        LocalRow{"Com6MixedCase", "cOm6", Kind::Path, "/dev/ttyS5"},
        LocalRow{"Com7IsAPath", "COM7:", Kind::Path, "COM7:"},
        LocalRow{"Com0IsAPath", "COM0", Kind::Path, "COM0"},
        LocalRow{"LeadingSpaceKept", " COM1:", Kind::Path, " COM1:"},
        LocalRow{"UsbPrinter", "/dev/usb/lp0", Kind::Path, "/dev/usb/lp0"},
        LocalRow{"Dash", "-", Kind::StandardOutput, ""},
        LocalRow{"DoubleDashIsAPath", "--", Kind::Path, "--"},
        LocalRow{"OtherSchemeIsAPath", "udp://printer", Kind::Path, "udp://printer"},
        LocalRow{"OneSlashIsAPath", "tcp:/printer", Kind::Path, "tcp:/printer"}),
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
