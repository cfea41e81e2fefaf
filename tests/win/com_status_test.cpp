// Asking a printer on a COM port through the Win32 seam: what Wine's pseudo-terminal ports
// cannot show (the port's time-outs during the exchange and put back after it, the answer
// read from the input queue), and which devices Windows does not ask (USB printers are asked:
// usb_printer_test.cpp).
#include <gtest/gtest.h>

#include "fake_system_calls.h"
#include "temp_dir.h"
#include "status/status_link.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(ComStatusLink, ReadsWithThePortsTimeOutsAndPutsThemBack) {
  FakePort port;
  port.answers = {"\x12", "\x16\x5F"};
  {
    const auto link = OpenStatusLink("COM3:", {}, port);
    EXPECT_EQ(port.openedPath, L"\\\\.\\COM3");
    EXPECT_EQ(port.openedAccess, DWORD{GENERIC_READ | GENERIC_WRITE});
    EXPECT_EQ(port.openedShare, 0u);  // no other program in the middle of the exchange
    EXPECT_TRUE(link->CarriesFlowControl());

    ASSERT_TRUE(link->Send("\x10\x04\x01", Clock::now() + 1s));
    EXPECT_EQ(Hex(port.received), Hex("\x10\x04\x01"));
    Bytes answer;
    ASSERT_TRUE(link->Receive(answer, Clock::now() + 1s));
    ASSERT_TRUE(link->Receive(answer, Clock::now() + 1s));
    EXPECT_EQ(Hex(answer), Hex("\x12\x16\x5F"));

    const auto asked = Clock::now();
    EXPECT_FALSE(link->Receive(answer, asked + 200ms));  // a silent printer
    EXPECT_GE(Clock::now() - asked, 150ms);
    EXPECT_LT(Clock::now() - asked, 1s);

    // A read returns at once with what the port holds; writes keep the port's time-outs.
    ASSERT_FALSE(port.timeoutsSet.empty());
    const COMMTIMEOUTS reading = port.timeoutsSet.back();
    EXPECT_EQ(reading.ReadIntervalTimeout, MAXDWORD);
    EXPECT_EQ(reading.ReadTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(reading.ReadTotalTimeoutConstant, 0u);
    EXPECT_EQ(reading.WriteTotalTimeoutMultiplier, 4u);
    EXPECT_EQ(reading.WriteTotalTimeoutConstant, 5u);
  }
  const COMMTIMEOUTS after = port.timeouts;
  EXPECT_EQ(after.ReadIntervalTimeout, 1u);
  EXPECT_EQ(after.ReadTotalTimeoutMultiplier, 2u);
  EXPECT_EQ(after.ReadTotalTimeoutConstant, 3u);
  EXPECT_EQ(port.closes, 1);
}

struct NotAskedRow {
  const char* name;
  std::string device;
  std::string message;
};
void PrintTo(const NotAskedRow& row, std::ostream* out) { *out << row.name; }

class NotAsked : public ::testing::TestWithParam<NotAskedRow> {};

// Nothing is opened for them, and the message says which printers Windows can ask.
TEST_P(NotAsked, SaysWhichPrintersAnswerOnWindows) {
  FakePort port;
  try {
    OpenStatusLink(GetParam().device, {}, port);
    FAIL() << "opened";
  } catch (const PrintFailure& failure) {
    EXPECT_EQ(failure.code(), FailureCode::NoReturnChannel);
    EXPECT_EQ(failure.description(), GetParam().message);
  }
  EXPECT_EQ(port.openedPath, L"");
}

INSTANTIATE_TEST_SUITE_P(
    Devices, NotAsked,
    ::testing::Values(
        NotAskedRow{"AnInstalledPrinter", "printer:Recibos",
                    "sem canal de retorno: \"printer:Recibos\" é uma fila de impressão; no Windows "
                    "só impressoras em tcp://, em portas série (COM) e USB (usb:) dizem o seu "
                    "estado"},
        NotAskedRow{"AParallelPort", "LPT1:",
                    "sem canal de retorno: \"LPT1:\" não é pedido; no Windows só impressoras em "
                    "tcp://, em portas série (COM) e USB (usb:) dizem o seu estado"},
        NotAskedRow{"AnotherDevice", "\\\\.\\USB001",
                    "sem canal de retorno: \"\\\\.\\USB001\" não é pedido; no Windows só "
                    "impressoras em tcp://, em portas série (COM) e USB (usb:) dizem o seu estado"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket::testing
