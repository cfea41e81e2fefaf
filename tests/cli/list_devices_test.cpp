// qrticket --list-devices: parsed without a device, and one line per device, name TAB
// description, whatever the description holds.
#include "list_devices.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli_options.h"

namespace qrticket::cli {
namespace {

TEST(ListDevicesOption, NeedsNoDeviceAndPrintsNothing) {
  const ParseResult r = ParseCommandLine({"--list-devices"});
  ASSERT_TRUE(r.options) << r.err;
  EXPECT_EQ(r.options->mode, Mode::ListDevices);
  EXPECT_EQ(r.exitCode, kExitOk);
  EXPECT_NE(ParseCommandLine({"--device", "x"}).options->mode, Mode::ListDevices);
}

TEST(ListDevicesOption, WithoutEitherTheDeviceIsMissing) {
  const ParseResult r = ParseCommandLine({});
  EXPECT_FALSE(r.options);
  EXPECT_EQ(r.exitCode, kExitUsage);
  EXPECT_NE(r.err.find("--device"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("--list-devices"), std::string::npos) << r.err;
}

TEST(ListDevicesOption, HelpMentionsIt) {
  EXPECT_NE(ParseCommandLine({"--help"}).out.find("--list-devices"), std::string::npos);
}

struct ListRow {
  const char* name;
  std::vector<DiscoveredDevice> devices;
  std::string expected;
  bool saysNothingFound = false;
};

void PrintTo(const ListRow& row, std::ostream* out) { *out << row.name; }

class DeviceListLines : public ::testing::TestWithParam<ListRow> {};

TEST_P(DeviceListLines, OneDeviceALine) {
  std::ostringstream out, err;
  EXPECT_EQ(WriteDeviceList(GetParam().devices, out, err), kExitOk);
  EXPECT_EQ(out.str(), GetParam().expected);
  EXPECT_EQ(err.str().find("não se encontrou nenhum dispositivo") != std::string::npos,
            GetParam().saysNothingFound)
      << err.str();
}

DiscoveredDevice Device(std::string name, std::string description, bool writable = true,
                        std::string group = {}) {
  return {std::move(name), std::move(description), writable, std::move(group)};
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DeviceListLines,
    ::testing::Values(
        ListRow{"EmptyListIsAnAnswerSaidOnStderr", {}, "", true},
        ListRow{"NameTabDescription",
                {Device("/dev/usb/lp0", "Impressora USB EPSON TM-T20II (ESC/POS)"),
                 Device("cups:Recibos", "Fila CUPS: Local Raw Printer, pronta")},
                "/dev/usb/lp0\tImpressora USB EPSON TM-T20II (ESC/POS)\n"
                "cups:Recibos\tFila CUPS: Local Raw Printer, pronta\n"},
        ListRow{"WhatToDoWithoutAccess",
                {Device("/dev/ttyUSB0", "Porta série USB /dev/ttyUSB0", false, "dialout")},
                "/dev/ttyUSB0\tPorta série USB /dev/ttyUSB0 — sem permissão: junte-se ao grupo "
                "dialout\n"},
        ListRow{"TabsAndLineBreaksInsideBecomeSpaces",
                {Device("cups:A\tB", "Fila CUPS: Modelo\n2\r\tx")},
                "cups:A B\tFila CUPS: Modelo 2  x\n"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket::cli
