// The device list on Windows: installed printers as "printer:NAME" and the registry's ports as
// port names, in the order an operator looks for them.
#include <gtest/gtest.h>

#include "discovery/win/windows_listers.h"

namespace qrticket {
namespace {

std::string Lines(const std::vector<DiscoveredDevice>& devices) {
  std::string lines;
  for (const DiscoveredDevice& device : devices) lines += device.name + "\t" + device.description + "\n";
  return lines;
}

TEST(WindowsDeviceList, PrintersAreTypedAsPrinterNames) {
  const std::vector<InstalledPrinter> printers = {
      {.name = "EPSON TM-T20II Receipt", .driver = "EPSON TM-T20II Receipt5", .port = "ESDPRT001",
       .isDefault = true, .offline = false},
      {.name = "Caixa 2", .driver = "Generic / Text Only", .port = "USB001", .isDefault = false,
       .offline = true},
      {.name = "Balcão", .driver = "", .port = "", .isDefault = false, .offline = false}};
  EXPECT_EQ(Lines(DescribeInstalledPrinters(printers)),
            "printer:EPSON TM-T20II Receipt\tImpressora do Windows: EPSON TM-T20II Receipt5, porta "
            "ESDPRT001, predefinida\n"
            "printer:Caixa 2\tImpressora do Windows: Generic / Text Only, porta USB001, fora de linha\n"
            "printer:Balcão\tImpressora do Windows\n");
}

TEST(WindowsDeviceList, PortsInNumberOrderSerialFirst) {
  const std::vector<MappedPort> serial = {{"\\Device\\Serial9", "COM10"},
                                          {"\\Device\\Serial1", "COM2"},
                                          {"\\Device\\VCP0", "COM3"},
                                          {"\\Device\\Odd", "COM0"},      // no port: left out
                                          {"\\Device\\Odd", "Modem"}};   // not a port name
  const std::vector<MappedPort> parallel = {{"\\Device\\Parallel0", "\\DosDevices\\LPT1"}};
  EXPECT_EQ(Lines(DescribePorts(serial, parallel)),
            "COM2:\tPorta série \\Device\\Serial1\n"
            "COM3:\tPorta série \\Device\\VCP0\n"
            "COM10:\tPorta série \\Device\\Serial9\n"
            "LPT1:\tPorta paralela \\Device\\Parallel0\n");
}

TEST(WindowsDeviceList, NothingKnownIsAnEmptyList) {
  EXPECT_TRUE(DescribeInstalledPrinters({}).empty());
  EXPECT_TRUE(DescribePorts({}, {}).empty());
}

}  // namespace
}  // namespace qrticket
