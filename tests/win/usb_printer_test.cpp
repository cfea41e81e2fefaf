// USB printers without a queue ("usb:NAME") behind the device seam: Wine has no USB printing
// class, so the interface list and the handle are scripted. Named by their IEEE 1284 ID,
// written to through their device path, bounded as a port.
#include <gtest/gtest.h>

#include <functional>

#include "devices/win/usb_printers.h"
#include "discovery/win/windows_listers.h"
#include "fake_system_calls.h"
#include "temp_dir.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;

// A port whose device is one of a scripted list of USB printers.
class FakeUsb : public FakePort {
 public:
  std::vector<UsbPrinterInterface> interfaces = {
      {L"\\\\?\\usb#vid_04b8&pid_0e15#1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}",
       "MFG:EPSON;CMD:ESC/POS;MDL:TM-T20II;CLS:PRINTER;"},
      {L"\\\\?\\usb#vid_0519&pid_0003#2#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}",
       "MANUFACTURER:Star;MODEL:TSP100;"},
      {L"\\\\?\\usb#vid_1fc9&pid_2016#3#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}", ""},
      {L"\\\\?\\usb#vid_04b8&pid_0e15#4#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}",
       "MFG:EPSON;MDL:TM-T20II;"}};

  std::vector<UsbPrinterInterface> UsbPrinterInterfaces() override { return interfaces; }
};

std::string Lines(const std::vector<DiscoveredDevice>& devices) {
  std::string lines;
  for (const DiscoveredDevice& device : devices) lines += device.name + "\t" + device.description + "\n";
  return lines;
}

TEST(UsbPrinters, ListedByTheirIeee1284Ids) {
  FakeUsb usb;
  EXPECT_EQ(Lines(DescribeUsbPrinters(ListUsbPrinters(usb))),
            "usb:EPSON TM-T20II\tImpressora USB EPSON TM-T20II (ESC/POS)\n"
            "usb:Star TSP100\tImpressora USB Star TSP100\n"
            "usb:USB 3\tImpressora USB USB 3\n"  // its ID names nothing
            "usb:EPSON TM-T20II (2)\tImpressora USB EPSON TM-T20II (2)\n");
  EXPECT_EQ(usb.openedPath, L"");  // listing opens nothing through the seam
}

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
        UsbJobRow{"ByMakeAndModel", "usb:EPSON TM-T20II", nullptr, nullptr,
                  L"\\\\?\\usb#vid_04b8&pid_0e15#1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}"},
        UsbJobRow{"AnyCaseAndSpacesAround", " USB: epson tm-t20ii (2) ", nullptr, nullptr,
                  L"\\\\?\\usb#vid_04b8&pid_0e15#4#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}"},
        UsbJobRow{"NotPluggedIn", "usb:Zebra", nullptr,
                  "Não há nenhuma impressora USB \"usb:Zebra\" ligada", L""},
        UsbJobRow{"APrinterThatTakesNothingTimesOut", "usb:Star TSP100",
                  [](FakeUsb& u) {
                    u.writes = {{WriteStep::Pend}};
                    u.reportsQueue = false;
                  },
                  "Tempo esgotado: o dispositivo \"usb:Star TSP100\"",
                  L"\\\\?\\usb#vid_0519&pid_0003#2#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}"},
        UsbJobRow{"AnUnpluggedPrinterMidTicket", "usb:Star TSP100",
                  [](FakeUsb& u) { u.writes = {{WriteStep::Fail, 0, ERROR_DEVICE_NOT_CONNECTED}}; },
                  "O dispositivo \"usb:Star TSP100\" não está disponível",
                  L"\\\\?\\usb#vid_0519&pid_0003#2#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket::testing
