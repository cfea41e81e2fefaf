// Serial settings after a COM port's name on Windows: the DCB each setting makes, the job that
// sets them before its first byte and puts the port's own back after its last (or after a
// failure), a speed the driver changes, and a missing port, through the Win32 seam.
#include <gtest/gtest.h>

#include "devices/device_failures.h"
#include "devices/device_name.h"
#include "devices/win/comm_line.h"
#include "fake_system_calls.h"
#include "temp_dir.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;
using Parity = SerialSettings::Parity;
using StopBits = SerialSettings::StopBits;
using Flow = SerialSettings::Flow;

struct DcbRow {
  const char* name;
  SerialSettings settings;
  BYTE parity, stopBits;
  bool outX, ctsFlow, dsrFlow;
  DWORD rts, dtr;
};
void PrintTo(const DcbRow& row, std::ostream* out) { *out << row.name; }

class DcbFields : public ::testing::TestWithParam<DcbRow> {};

TEST_P(DcbFields, EachSettingInItsField) {
  const DcbRow& row = GetParam();
  DCB own = FakePort::DefaultDcb();
  own.fOutX = own.fInX = TRUE;  // the port's own flow control does not linger
  own.fOutxCtsFlow = own.fOutxDsrFlow = own.fDsrSensitivity = own.fAbortOnError = TRUE;
  const DCB dcb = DcbFor(own, row.settings);
  EXPECT_EQ(dcb.BaudRate, row.settings.speed);
  EXPECT_EQ(dcb.ByteSize, row.settings.dataBits);
  EXPECT_EQ(dcb.Parity, row.parity);
  EXPECT_EQ(dcb.fParity, row.parity != NOPARITY);
  EXPECT_EQ(dcb.StopBits, row.stopBits);
  EXPECT_EQ(static_cast<bool>(dcb.fOutX), row.outX);
  EXPECT_EQ(static_cast<bool>(dcb.fInX), row.outX);
  EXPECT_EQ(static_cast<bool>(dcb.fOutxCtsFlow), row.ctsFlow);
  EXPECT_EQ(static_cast<bool>(dcb.fOutxDsrFlow), row.dsrFlow);
  EXPECT_EQ(dcb.fRtsControl, row.rts);
  EXPECT_EQ(dcb.fDtrControl, row.dtr);
  EXPECT_TRUE(dcb.fBinary);
  EXPECT_FALSE(dcb.fDsrSensitivity);
  EXPECT_FALSE(dcb.fAbortOnError);  // and the device list reads the same settings back from it
  EXPECT_EQ(SettingsOf(dcb), row.settings);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, DcbFields,
    ::testing::Values(
        DcbRow{"N81", {.speed = 19200}, NOPARITY, ONESTOPBIT, false, false, false,
               RTS_CONTROL_ENABLE, DTR_CONTROL_ENABLE},
        DcbRow{"E72", {9600, Parity::Even, 7, StopBits::Two}, EVENPARITY, TWOSTOPBITS, false,
               false, false, RTS_CONTROL_ENABLE, DTR_CONTROL_ENABLE},
        DcbRow{"OddOneAndAHalf", {1200, Parity::Odd, 5, StopBits::OnePointFive}, ODDPARITY,
               ONE5STOPBITS, false, false, false, RTS_CONTROL_ENABLE, DTR_CONTROL_ENABLE},
        DcbRow{"Mark", {9600, Parity::Mark}, MARKPARITY, ONESTOPBIT, false, false, false,
               RTS_CONTROL_ENABLE, DTR_CONTROL_ENABLE},
        DcbRow{"Space", {9600, Parity::Space}, SPACEPARITY, ONESTOPBIT, false, false, false,
               RTS_CONTROL_ENABLE, DTR_CONTROL_ENABLE},
        DcbRow{"Xon", {9600, Parity::None, 8, StopBits::One, Flow::XonXoff}, NOPARITY, ONESTOPBIT,
               true, false, false, RTS_CONTROL_ENABLE, DTR_CONTROL_ENABLE},
        DcbRow{"Rts", {9600, Parity::None, 8, StopBits::One, Flow::RtsCts}, NOPARITY, ONESTOPBIT,
               false, true, false, RTS_CONTROL_HANDSHAKE, DTR_CONTROL_ENABLE},
        DcbRow{"Dtr", {9600, Parity::None, 8, StopBits::One, Flow::DtrDsr}, NOPARITY, ONESTOPBIT,
               false, false, true, RTS_CONTROL_ENABLE, DTR_CONTROL_HANDSHAKE},
        DcbRow{"Hardware", {9600, Parity::None, 8, StopBits::One, Flow::Hardware}, NOPARITY,
               ONESTOPBIT, false, true, true, RTS_CONTROL_HANDSHAKE, DTR_CONTROL_HANDSHAKE},
        DcbRow{"OddSpeed", {.speed = 250000}, NOPARITY, ONESTOPBIT, false, false, false,
               RTS_CONTROL_ENABLE, DTR_CONTROL_ENABLE}),
    [](const auto& info) { return std::string(info.param.name); });

bool SameLine(const DCB& a, const DCB& b) {
  return a.BaudRate == b.BaudRate && a.ByteSize == b.ByteSize && a.Parity == b.Parity &&
         a.StopBits == b.StopBits && a.fOutxCtsFlow == b.fOutxCtsFlow &&
         a.fOutxDsrFlow == b.fOutxDsrFlow && a.fOutX == b.fOutX;
}

TEST(CommSettings, SetBeforeTheFirstByteAndPutBackAfterTheLast) {
  FakePort port;
  const DCB own = port.state;
  ASSERT_FALSE(RunTicketJob("COM3:115200,e,7,2,p", port, 1s));
  EXPECT_EQ(port.openedPath, L"\\\\.\\COM3");
  ASSERT_EQ(port.setStates.size(), 2u);
  EXPECT_EQ(port.setStates[0].BaudRate, 115200u);
  EXPECT_EQ(port.setStates[0].ByteSize, 7);
  EXPECT_EQ(port.setStates[0].Parity, EVENPARITY);
  EXPECT_EQ(port.setStates[0].StopBits, TWOSTOPBITS);
  EXPECT_TRUE(port.setStates[0].fOutxCtsFlow && port.setStates[0].fOutxDsrFlow);
  EXPECT_EQ(port.writeCallsAtSet[0], 0) << "a byte left before the settings";
  EXPECT_EQ(port.writeCallsAtSet[1], port.writeCalls) << "put back before the last byte";
  EXPECT_TRUE(SameLine(port.setStates[1], own));
  EXPECT_TRUE(SameLine(port.state, own));
  EXPECT_EQ(port.purges, 0) << "a delivered ticket is not discarded";
  EXPECT_EQ(Hex(port.received), Hex(ExpectedTicket()));
}

TEST(CommSettings, WithoutSettingsThePortIsNotTouched) {
  FakePort port;
  ASSERT_FALSE(RunTicketJob("COM3:", port, 1s));
  EXPECT_TRUE(port.setStates.empty());
}

TEST(CommSettings, ASpeedTheDriverChangesSendsNothing) {
  FakePort port;
  port.takesBaud = 115200;
  const std::optional<std::string> message = RunTicketJob("COM3:1000000", port, 1s);
  ASSERT_TRUE(message);
  EXPECT_NE(message->find(failures::SpeedNotTaken("COM3:", 1000000, 115200).description()),
            std::string::npos)
      << *message;
  EXPECT_EQ(port.writeCalls, 0);
  EXPECT_EQ(port.state.BaudRate, 9600u);
  EXPECT_EQ(port.closes, 1);
}

TEST(CommSettings, SettingsThePortRefuses) {
  FakePort port;
  port.refusesSettings = true;
  const std::optional<std::string> message = RunTicketJob("COM3:9600,n,5,2", port, 1s);
  ASSERT_TRUE(message);
  EXPECT_NE(message->find(failures::SettingNotTaken("COM3:", "9600,n,5,2").description()),
            std::string::npos)
      << *message;
  EXPECT_EQ(port.writeCalls, 0);
}

TEST(CommSettings, AFailedJobPutsThePortBackToo) {
  FakePort port;
  port.writes = {WriteStep{WriteStep::Fail, 0, ERROR_GEN_FAILURE}};
  ASSERT_TRUE(RunTicketJob("COM3:19200", port, 1s));
  ASSERT_EQ(port.setStates.size(), 2u);
  EXPECT_EQ(port.state.BaudRate, 9600u);
  EXPECT_GE(port.purges, 1);
}

TEST(CommSettings, AMissingPortWithSettingsIsNoFile) {
  FakePort port;
  port.openError = ERROR_FILE_NOT_FOUND;
  const std::optional<std::string> message = RunTicketJob("COM7:19200,n,8,1", port, 1s);
  ASSERT_TRUE(message);
  EXPECT_NE(message->find("A porta \"COM7:\" (\\\\.\\COM7) não existe"), std::string::npos)
      << *message;
  EXPECT_EQ(port.openedDisposition, static_cast<DWORD>(OPEN_EXISTING));
  EXPECT_TRUE(port.setStates.empty());
}

TEST(CommSettings, DeviceNamespacePortsTakeSettingsToo) {
  const DeviceTarget target = ResolveDeviceName("\\\\.\\COM12:9600,n,8,1,r");
  EXPECT_EQ(target.kind, DeviceTarget::Kind::Path);
  EXPECT_EQ(target.path, "\\\\.\\COM12");
  ASSERT_TRUE(target.serial);
  EXPECT_EQ(SerialSettingsText(*target.serial), "9600,n,8,1,r");
  EXPECT_FALSE(ResolveDeviceName("C:\\talões\\notas:9600").serial);
  EXPECT_FALSE(ResolveDeviceName("/dev/ttyUSB0:9600").serial) << "a Linux path on Windows";
}

}  // namespace
}  // namespace qrticket::testing
