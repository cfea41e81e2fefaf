// A serial port as a status link: overlapped writes, and reads of what the input queue holds
// (ClearCommError), with read time-outs that return at once (ReadIntervalTimeout MAXDWORD, the
// totals 0) for the exchange, at the operator's settings when there are any.
#include "status/win/com_status_link.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "devices/deadline.h"
#include "devices/device_failures.h"
#include "devices/win/cancel_event.h"
#include "devices/win/comm_line.h"
#include "devices/win/wide_text.h"
#include "devices/win/win_errors.h"
#include "status/win/handle_exchange.h"

namespace qrticket {
namespace {

using failures::Stage;

// How often the port's input queue is looked at while an answer is awaited.
constexpr DWORD kInputCheckMs = 5;
// How long a read of bytes already there may take, whatever the deadline.
constexpr DWORD kReadGraceMs = 50;

class ComStatusLink final : public StatusLink {
 public:
  ComStatusLink(SystemCalls& sys, HANDLE port, std::string device, int cancelFd,
                std::optional<COMMTIMEOUTS> saved)
      : sys_(sys), port_(port), device_(std::move(device)), cancelFd_(cancelFd), saved_(saved),
        read_(sys, port) {
  }
  ComStatusLink(const ComStatusLink&) = delete;
  ComStatusLink& operator=(const ComStatusLink&) = delete;

  // The port's time-outs and settings as they were; what the printer still sends is left to
  // the driver.
  ~ComStatusLink() override {
    if (saved_) sys_.SetCommTimeouts(port_, &*saved_);
    if (comm_) comm_->Restore(/*discardQueued=*/true);
    sys_.CloseHandle(port_);
  }

  bool Send(BytesView bytes, Clock::time_point deadline) override {
    return SendBefore(sys_, port_, device_, bytes, deadline, cancelFd_);
  }

  // Reads what the port has taken in, once it has something: a read of bytes that are there
  // returns at once, where one that waits for them would pend past its time-outs under Wine.
  bool Receive(Bytes& into, Clock::time_point deadline) override {
    if (!read_.event()) throw FromWindowsError(::GetLastError(), device_, Stage::Write);
    for (;;) {
      DWORD errors = 0;
      COMSTAT status{};
      if (!sys_.ClearCommError(port_, &errors, &status))
        throw FromWindowsError(::GetLastError(), device_, Stage::Write);
      if (status.cbInQue > 0) return ReadWaiting(into, status.cbInQue, deadline);
      const DWORD left = MillisecondsLeft(deadline);
      if (left == 0) return false;
      SleepOrCancel(std::min(left, kInputCheckMs), cancelFd_);
    }
  }

  // XON and XOFF may come on a serial line, between answers and inside them.
  bool CarriesFlowControl() const override { return true; }

  // The operator's settings (or the speed search's next try) through the DCB; what came in
  // before is dropped. The port's own come back when the link goes.
  bool SetSerial(const SerialSettings& settings) override {
    if (!comm_) comm_ = std::make_unique<CommLine>(sys_, port_, device_);
    comm_->Apply(settings);
    sys_.PurgeComm(port_, PURGE_RXCLEAR);
    return true;
  }

 private:
  // Reads up to `waiting` bytes that the port holds already.
  bool ReadWaiting(Bytes& into, DWORD waiting, Clock::time_point deadline) {
    if (const DWORD error = read_.Start(waiting); error != 0)
      throw FromWindowsError(error, device_, Stage::Write);
    const Waited waited = WaitOrCancel(
        sys_, read_.event(), std::max<DWORD>(MillisecondsLeft(deadline), kReadGraceMs), cancelFd_);
    if (waited != Waited::Ready) {
      const bool back = read_.Cancel();
      if (waited == Waited::Cancelled) throw failures::Interrupted();
      if (!back) return false;
    }
    DWORD got = 0;
    if (!read_.Result(&got)) {
      const DWORD error = ::GetLastError();
      if (error == ERROR_OPERATION_ABORTED) return false;
      throw FromWindowsError(error, device_, Stage::Write);
    }
    if (got == 0) return false;
    into.append(read_.data(), std::min<std::size_t>(got, InFlightRead::kCapacity));
    return true;
  }

  SystemCalls& sys_;
  HANDLE port_;
  std::string device_;
  int cancelFd_;
  std::optional<COMMTIMEOUTS> saved_;
  InFlightRead read_;
  std::unique_ptr<CommLine> comm_;
};

}  // namespace

std::unique_ptr<StatusLink> OpenComStatusLink(const std::string& path, std::string_view device,
                                              const StatusOptions& options, SystemCalls& sys,
                                              const std::optional<SerialSettings>& serial) {
  const std::optional<std::wstring> wide = WideFromUtf8(path);
  if (!wide) throw failures::BadFileName(device);
  const HANDLE port = sys.CreateFileW(wide->c_str(), GENERIC_READ | GENERIC_WRITE, /*share=*/0,
                                      OPEN_EXISTING, FILE_FLAG_OVERLAPPED);
  if (port == INVALID_HANDLE_VALUE)
    throw FromWindowsError(::GetLastError(), device, Stage::Open, /*heldPort=*/true);
  COMMTIMEOUTS saved{};
  const bool known = sys.GetCommTimeouts(port, &saved) != FALSE;
  auto link = std::make_unique<ComStatusLink>(sys, port, std::string(device), options.cancelFd,
                                              known ? std::optional(saved) : std::nullopt);
  // A read returns at once with what has come; writes keep the port's own time-outs.
  COMMTIMEOUTS exchange{};
  exchange.ReadIntervalTimeout = MAXDWORD;
  exchange.WriteTotalTimeoutMultiplier = known ? saved.WriteTotalTimeoutMultiplier : 0;
  exchange.WriteTotalTimeoutConstant = known ? saved.WriteTotalTimeoutConstant : 0;
  if (!sys.SetCommTimeouts(port, &exchange))
    throw FromWindowsError(::GetLastError(), device, Stage::Open);
  if (serial) link->SetSerial(*serial);
  return link;
}

}  // namespace qrticket
