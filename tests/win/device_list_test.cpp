// The device list on Windows: installed printers as "printer:NAME" and the registry's ports as
// port names, in the order an operator looks for them.
#include <gtest/gtest.h>

#include "devices/win/printer_state.h"
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
       .isDefault = true, .state = ""},
      {.name = "Caixa 2", .driver = "Generic / Text Only", .port = "USB001", .isDefault = false,
       .state = "em pausa, fora de linha"},
      {.name = "Balcão", .driver = "", .port = "", .isDefault = false, .state = ""}};
  EXPECT_EQ(Lines(DescribeInstalledPrinters(printers)),
            "printer:EPSON TM-T20II Receipt\tImpressora do Windows: EPSON TM-T20II Receipt5, porta "
            "ESDPRT001, predefinida\n"
            "printer:Caixa 2\tImpressora do Windows: Generic / Text Only, porta USB001, em pausa, "
            "fora de linha\n"
            "printer:Balcão\tImpressora do Windows\n");
}

// What a printer's Status and Attributes say in the list, one row per kind of state.
struct StateRow {
  const char* name;
  DWORD status;
  DWORD attributes;
  const char* words;
};
void PrintTo(const StateRow& row, std::ostream* out) { *out << row.name; }

class PrinterStateWords : public ::testing::TestWithParam<StateRow> {};

TEST_P(PrinterStateWords, NameWhatStopsThePrinter) {
  const StateRow& row = GetParam();
  EXPECT_EQ(failures::SpoolerStateWords(PrinterStopStates(row.status, row.attributes)), row.words);
}

INSTANTIATE_TEST_SUITE_P(
    States, PrinterStateWords,
    ::testing::Values(
        StateRow{"Ready", 0, 0, ""},
        StateRow{"BusyAndWarmingUpStillPrint",
                 PRINTER_STATUS_BUSY | PRINTER_STATUS_WARMING_UP | PRINTER_STATUS_PRINTING, 0, ""},
        StateRow{"Paused", PRINTER_STATUS_PAUSED, 0, "em pausa"},
        StateRow{"OffLineWithoutPaper", PRINTER_STATUS_OFFLINE | PRINTER_STATUS_PAPER_OUT, 0,
                 "sem papel, fora de linha"},
        StateRow{"CoverOpenAndJammed", PRINTER_STATUS_DOOR_OPEN | PRINTER_STATUS_PAPER_JAM, 0,
                 "papel encravado, tampa aberta"},
        StateRow{"InError", PRINTER_STATUS_ERROR, 0, "com um erro"},
        StateRow{"NotAvailable", PRINTER_STATUS_NOT_AVAILABLE, 0, "indisponível"},
        StateRow{"UsePrinterOffline", 0, PRINTER_ATTRIBUTE_WORK_OFFLINE,
                 "marcada \"Utilizar impressora offline\""},
        StateRow{"SharedPrinterServerOffLine", 0x01000000, 0,
                 "servidor de impressão fora de linha"}),
    [](const auto& info) { return std::string(info.param.name); });

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

// An adapter is told from a built-in port by the Device Manager's name; a serial port's
// settings, where they were read, follow it.
TEST(WindowsDeviceList, PortsByTheDeviceManagersNames) {
  const std::vector<MappedPort> serial = {
      {"\\Device\\Serial0", "COM1", "Porta de comunicação (COM1)"},
      {"\\Device\\VCP0", "COM3", "USB Serial Port (COM3)", "19200,e,7,1,r"},
      {"\\Device\\Serial11", "COM12", "", "9600,n,8,1"}};
  const std::vector<MappedPort> parallel = {
      {"\\Device\\Parallel0", "\\DosDevices\\LPT1", "Porta da impressora (LPT1)"}};
  EXPECT_EQ(Lines(DescribePorts(serial, parallel)),
            "COM1:\tPorta série: Porta de comunicação (COM1)\n"
            "COM3:\tPorta série: USB Serial Port (COM3), a 19200,e,7,1,r\n"
            "COM12:\tPorta série \\Device\\Serial11, a 9600,n,8,1\n"
            "LPT1:\tPorta paralela: Porta da impressora (LPT1)\n");
}

TEST(WindowsDeviceList, NothingKnownIsAnEmptyList) {
  EXPECT_TRUE(DescribeInstalledPrinters({}).empty());
  EXPECT_TRUE(DescribePorts({}, {}).empty());
}

}  // namespace
}  // namespace qrticket
