// The TCP transport on Windows: bounded connect, non-blocking sends, and a close that reports
// success only once the printer has the bytes, as far as Windows lets us see that.
#include "devices/tcp_device.h"

#include <mstcpip.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "devices/connect_attempts.h"
#include "devices/deadline.h"
#include "devices/device_failures.h"
#include "devices/win/cancel_event.h"
#include "devices/win/host_lookup.h"
#include "devices/win/printer_failures.h"
#include "devices/win/tcp_connect.h"
#include "devices/win/win_errors.h"

namespace qrticket {
namespace {

using Clock = std::chrono::steady_clock;
using failures::Stage;

// How often a wait looks at the connection's acknowledgement state.
constexpr DWORD kAckCheckMs = 20;
// Sends are handed to Winsock in pieces of at most this size.
constexpr int kSendPiece = 64 * 1024;

// What the connection tells about acknowledgement: Windows 10 (1703) and later answer
// SIO_TCP_INFO; older systems and Wine do not, and then only the printer's close tells.
struct AckState {
  TCPSTATE state = TCPSTATE_MAX;
  ULONG inFlight = 0;  // sent and not yet acknowledged
  ULONG64 sent = 0;
  bool operator==(const AckState&) const = default;
};

// Our FIN has been acknowledged, and with it every byte before it.
bool EverythingAcknowledged(TCPSTATE state) {
  return state == TCPSTATE_FIN_WAIT_2 || state == TCPSTATE_TIME_WAIT || state == TCPSTATE_CLOSED;
}

class TcpDevice final : public OutputDevice {
 public:
  TcpDevice(SystemCalls& sys, SOCKET s, std::string device, const ChannelOptions& options)
      : sys_(sys), socket_(s), device_(std::move(device)), stall_(options.stallTimeout),
        cancelFd_(options.cancelFd), figures_(Acknowledgement().has_value()) {
    // Without figures, a send buffer of nothing makes Windows hold each send until the
    // printer has acknowledged it, so that what send() takes is what the printer has.
    if (!figures_) {
      const int none = 0;
      sys_.SetSockOpt(socket_, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&none),
                      sizeof none);
    }
  }

  TcpDevice(const TcpDevice&) = delete;
  TcpDevice& operator=(const TcpDevice&) = delete;

  ~TcpDevice() override {
    if (socket_ != INVALID_SOCKET) Abort();
  }

  void Write(BytesView bytes) override {
    auto deadline = Clock::now() + stall_;
    while (!bytes.empty()) {
      const int piece = static_cast<int>(std::min<std::size_t>(bytes.size(), kSendPiece));
      const int sent = sys_.Send(socket_, bytes.data(), piece);
      if (sent > 0) {
        bytes.remove_prefix(static_cast<std::size_t>(sent));
        deadline = Clock::now() + stall_;  // progress: the stall clock starts again
        continue;
      }
      const int error = sys_.WSAGetLastError();
      if (sent == 0 || error != WSAEWOULDBLOCK) throw Lost(error, Stage::Write);
      if (!WaitWritable(deadline)) throw failures::TimedOut(device_, stall_);
    }
  }

  void Close() override {
    try {
      Deliver();
    } catch (const PrintFailure&) {
      Abort();
      throw;
    }
    // A graceful close: anything Windows still holds goes out after us.
    sys_.CloseSocket(socket_);
    socket_ = INVALID_SOCKET;
  }

 private:
  std::optional<AckState> Acknowledgement() {
    DWORD version = 0;
    TCP_INFO_v0 info{};
    DWORD returned = 0;
    if (sys_.WSAIoctl(socket_, SIO_TCP_INFO, &version, sizeof version, &info, sizeof info,
                      &returned) != 0)
      return std::nullopt;
    return AckState{info.State, info.BytesInFlight, info.BytesOut};
  }

  // Waits for room to send until `deadline`; false on time-out. Acknowledgements that keep
  // coming move the deadline on: a slow printer that keeps reading is never cut off.
  bool WaitWritable(Clock::time_point& deadline) {
    std::optional<AckState> last = Acknowledgement();
    for (;;) {
      const DWORD left = MillisecondsLeft(deadline);
      if (left == 0) return false;
      const int ready =
          SelectOrCancel(sys_, socket_, /*write=*/true, last ? std::min(left, kAckCheckMs) : left, cancelFd_);
      if (ready > 0) return true;
      if (ready == SOCKET_ERROR) throw Lost(sys_.WSAGetLastError(), Stage::Write);
      if (last) {
        const std::optional<AckState> now = Acknowledgement();
        if (now && !(*now == *last)) deadline = Clock::now() + stall_;
        last = now;
      }
    }
  }

  void Deliver() {
    if (sys_.Shutdown(socket_, SD_SEND) != 0) throw Lost(sys_.WSAGetLastError());
    if (figures_) {
      if (std::optional<AckState> ack = Acknowledgement()) WaitUntilAcknowledged(*ack);
      // The printer's own close shows that it has also read everything; it is not required.
      WaitForPeerClose(Clock::now() + kPeerCloseWait);
      return;
    }
    // Without figures the printer's close is the only sign that it has the ticket: silence
    // for the stall time-out is no delivery.
    WaitForPeerClose(Clock::now() + stall_);
    if (!peerClosed_) throw failures::NetworkDeliveryUnconfirmed(device_, stall_);
  }

  // Waits while the unacknowledged bytes keep shrinking, until our FIN is acknowledged; a
  // state that stays put for the stall time-out is a time-out.
  void WaitUntilAcknowledged(AckState last) {
    auto deadline = Clock::now() + stall_;
    for (;;) {
      ReadWhatThePeerSent();
      const std::optional<AckState> now = Acknowledgement();
      if (!now || EverythingAcknowledged(now->state)) return;
      if (!(*now == last)) deadline = Clock::now() + stall_;
      last = *now;
      const DWORD left = MillisecondsLeft(deadline);
      if (left == 0) throw failures::TimedOut(device_, stall_);
      SelectOrCancel(sys_, socket_, /*write=*/false, std::min(left, kAckCheckMs), cancelFd_);
    }
  }

  void WaitForPeerClose(Clock::time_point deadline) {
    while (!peerClosed_) {
      const DWORD left = MillisecondsLeft(deadline);
      if (left == 0) return;
      if (SelectOrCancel(sys_, socket_, /*write=*/false, left, cancelFd_) == SOCKET_ERROR)
        throw Lost(sys_.WSAGetLastError());
      ReadWhatThePeerSent();
    }
  }

  // Printers may send status bytes; they are read and dropped, so that our close does not turn
  // into a reset over unread data. Notes the printer's close; a reset throws.
  void ReadWhatThePeerSent() {
    char buffer[512];
    while (!peerClosed_) {
      const int got = sys_.Recv(socket_, buffer, sizeof buffer);
      if (got > 0) continue;
      if (got == 0) {
        peerClosed_ = true;
        return;
      }
      const int error = sys_.WSAGetLastError();
      if (error == WSAEWOULDBLOCK) return;
      throw Lost(error);
    }
  }

  PrintFailure Lost(int error, Stage stage = Stage::Close) const {
    return FromWindowsError(static_cast<DWORD>(error), device_, stage);
  }

  // Closes with a reset: nothing still queued is sent later.
  void Abort() {
    const linger hardClose{1, 0};
    sys_.SetSockOpt(socket_, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&hardClose),
                    sizeof hardClose);
    sys_.CloseSocket(socket_);
    socket_ = INVALID_SOCKET;
  }

  SystemCalls& sys_;
  SOCKET socket_;
  std::string device_;
  std::chrono::milliseconds stall_;
  int cancelFd_;
  bool figures_;  // Windows answers SIO_TCP_INFO for this connection
  bool peerClosed_ = false;
};

// Closes a socket it owns unless released.
class OwnedSocket final {
 public:
  OwnedSocket(SystemCalls& sys, SOCKET s) : sys_(sys), socket_(s) {}
  ~OwnedSocket() {
    if (socket_ != INVALID_SOCKET) sys_.CloseSocket(socket_);
  }
  OwnedSocket(const OwnedSocket&) = delete;
  OwnedSocket& operator=(const OwnedSocket&) = delete;
  SOCKET get() const { return socket_; }
  SOCKET release() { return std::exchange(socket_, INVALID_SOCKET); }

 private:
  SystemCalls& sys_;
  SOCKET socket_;
};

// One non-blocking connect, waited for until `deadline`. `error` gets the Winsock error.
Attempt ConnectOnce(SystemCalls& sys, SOCKET s, const HostAddress& address,
                    Clock::time_point deadline, int cancelFd, int& error) {
  u_long nonBlocking = 1;
  if (sys.IoctlSocket(s, FIONBIO, &nonBlocking) != 0) {
    error = sys.WSAGetLastError();
    return Attempt::OtherError;
  }
  if (sys.Connect(s, address.get(), address.length) == 0) return Attempt::Connected;
  error = sys.WSAGetLastError();
  if (error != WSAEWOULDBLOCK)
    return error == WSAECONNREFUSED ? Attempt::Refused : Attempt::OtherError;
  const DWORD left = MillisecondsLeft(deadline);
  const int ready = left == 0 ? 0 : SelectOrCancel(sys, s, /*write=*/true, left, cancelFd);
  if (ready == 0) return Attempt::TimedOut;
  if (ready == SOCKET_ERROR) {
    error = sys.WSAGetLastError();
    return Attempt::OtherError;
  }
  int result = 0;
  int length = sizeof result;
  if (sys.GetSockOpt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&result), &length) != 0)
    result = sys.WSAGetLastError();
  error = result;
  if (result == 0) return Attempt::Connected;
  if (result == WSAECONNREFUSED) return Attempt::Refused;
  if (result == WSAETIMEDOUT) return Attempt::TimedOut;
  return Attempt::OtherError;
}

}  // namespace

SOCKET ConnectWinsockSocket(const DeviceTarget& target, std::string_view device,
                            const ChannelOptions& options, SystemCalls& sys) {
  if (!WinsockReady()) throw FromWindowsError(static_cast<DWORD>(::WSAGetLastError()), device, Stage::Open);
  const auto deadline = Clock::now() + options.connectTimeout;
  const std::vector<HostAddress> addresses =
      LookUpHost(target.host, target.port, target.bracketed, device, deadline,
                 options.connectTimeout, options.cancelFd);

  ConnectAttempts attempts(device, options.connectTimeout);
  for (const HostAddress& address : addresses) {
    OwnedSocket s(sys, sys.Socket(address.family, SOCK_STREAM, IPPROTO_TCP));
    if (s.get() == INVALID_SOCKET) {
      attempts.Failed(Attempt::OtherError, sys.WSAGetLastError());
      continue;
    }
    int error = 0;
    const Attempt attempt = ConnectOnce(sys, s.get(), address, deadline, options.cancelFd, error);
    if (attempt == Attempt::Connected) return s.release();
    attempts.Failed(attempt, error);
  }
  attempts.ThrowIfRefused();
  throw FromWindowsError(static_cast<DWORD>(attempts.firstError().value_or(WSAEHOSTUNREACH)),
                         device, Stage::Open);
}

std::unique_ptr<OutputDevice> OpenTcpDevice(const DeviceTarget& target, std::string_view device,
                                            const ChannelOptions& options, SystemCalls& sys) {
  return std::make_unique<TcpDevice>(sys, ConnectWinsockSocket(target, device, options, sys),
                                     std::string(device), options);
}

}  // namespace qrticket
