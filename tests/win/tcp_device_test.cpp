// tcp:// on Windows through the Winsock seam: the job ends once the printer has acknowledged
// everything (SIO_TCP_INFO), or, where Windows cannot tell (before Windows 10 1703, and under
// Wine), once the printer closes; silence for the stall time-out is then no delivery.
#include <gtest/gtest.h>

#include <functional>

#include "devices/tcp_device.h"
#include "fake_system_calls.h"
#include "temp_dir.h"

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Ack = FakeSocket::Ack;

const std::string kDevice = "tcp://127.0.0.1:9100";
constexpr auto kStall = 300ms;

struct SocketRow {
  const char* name;
  std::function<void(FakeSocket&)> setUp;
  const char* failure;  // the start of the message after "Falha na impressão:"; null: success
  std::chrono::milliseconds atLeast{0};
};
void PrintTo(const SocketRow& row, std::ostream* out) { *out << row.name; }

std::deque<Ack> Acknowledging(ULONG from, int steps) {
  std::deque<Ack> acks;
  for (int i = 0; i < steps; ++i) acks.push_back({TCPSTATE_FIN_WAIT_1, from - static_cast<ULONG>(i)});
  acks.push_back({TCPSTATE_FIN_WAIT_2, 0});
  return acks;
}

class Connections : public ::testing::TestWithParam<SocketRow> {};

TEST_P(Connections, EndAsThePrinterAcknowledges) {
  const SocketRow& row = GetParam();
  FakeSocket socket;
  if (row.setUp) row.setUp(socket);
  const auto started = Clock::now();
  const std::optional<std::string> message = RunTicketJob(kDevice, socket, kStall);
  const auto elapsed = Clock::now() - started;
  if (row.failure == nullptr) {
    EXPECT_FALSE(message) << *message;
    EXPECT_EQ(Hex(socket.received), Hex(ExpectedTicket()));
    EXPECT_TRUE(socket.shutDown);
    EXPECT_FALSE(socket.reset);  // a delivered ticket ends with a graceful close
  } else {
    ASSERT_TRUE(message);
    EXPECT_EQ(message->rfind(std::string("Falha na impressão:") + row.failure, 0), 0u) << *message;
    EXPECT_TRUE(socket.reset);  // the printer gets no half ticket later
  }
  EXPECT_TRUE(socket.closed);
  // Without figures each send is held by Windows until acknowledged (no send buffer).
  EXPECT_EQ(socket.sendBuffer, socket.acks.empty() ? std::optional<int>(0) : std::nullopt);
  EXPECT_GE(elapsed, row.atLeast);
  EXPECT_LT(elapsed, 10s);
}

INSTANTIATE_TEST_SUITE_P(
    Tcp, Connections,
    ::testing::Values(
        SocketRow{"AcknowledgedAndClosedByThePrinter",
                  [](FakeSocket& s) {
                    s.acks = {{TCPSTATE_ESTABLISHED, 300}, {TCPSTATE_FIN_WAIT_1, 1}, {TCPSTATE_FIN_WAIT_2, 0}};
                    s.recvs = {0};
                  },
                  nullptr},
        SocketRow{"AcknowledgementsThatKeepComingAreNeverCutOff",
                  [](FakeSocket& s) { s.acks = Acknowledging(4000, 40); }, nullptr},
        SocketRow{"APrinterThatKeepsTheConnectionOpenIsNoError",
                  [](FakeSocket& s) { s.acks = {{TCPSTATE_FIN_WAIT_2, 0}}; }, nullptr,
                  kPeerCloseWait},
        SocketRow{"NothingAcknowledgedTimesOut",
                  [](FakeSocket& s) { s.acks = {{TCPSTATE_FIN_WAIT_1, 450}}; }, "Tempo esgotado"},
        SocketRow{"WithoutFiguresThePrintersCloseEndsTheJob",
                  [](FakeSocket& s) { s.recvs = {5, 0}; },  // a status byte or five, then the close
                  nullptr},
        // A printer that read nothing looks the same as one that read everything and keeps
        // the connection open: without figures neither is a delivered ticket.
        SocketRow{"WithoutFiguresSilenceIsNoDelivery", nullptr,
                  "Tempo esgotado: \"tcp://127.0.0.1:9100\" não confirmou em 300 ms que recebeu o "
                  "talão",
                  kStall},
        SocketRow{"AResetIsALostConnection",
                  [](FakeSocket& s) { s.recvs = {-WSAECONNRESET}; },
                  "A ligação a \"tcp://127.0.0.1:9100\" foi interrompida"},
        SocketRow{"NoRoomToSendTimesOut", [](FakeSocket& s) { s.sendBlocks = true; },
                  "Tempo esgotado"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrticket::testing
