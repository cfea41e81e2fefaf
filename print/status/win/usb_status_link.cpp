// A USB printer as a status link: overlapped writes, and one overlapped ReadFile at a time,
// left in flight between calls so that an answer that comes late is still read, and cancelled
// when the link goes.
#include "status/win/usb_status_link.h"

#include <algorithm>

#include "devices/device_failures.h"
#include "devices/win/cancel_event.h"
#include "devices/win/overlapped_output.h"
#include "devices/win/usb_printers.h"
#include "devices/win/win_errors.h"

namespace qrticket {
namespace {

using failures::Stage;

// How long a cancelled read may take to come back before it is given up on.
constexpr DWORD kCancelWaitMs = 2000;
// A driver that ends a read at once with nothing is asked again after this pause.
constexpr DWORD kEmptyReadPauseMs = 10;

// Errors by which a driver says it does not read from the printer at all.
constexpr DWORD kCannotRead[] = {ERROR_INVALID_FUNCTION, ERROR_NOT_SUPPORTED};

bool CannotRead(DWORD error) {
  return std::find(std::begin(kCannotRead), std::end(kCannotRead), error) != std::end(kCannotRead);
}

DWORD MillisecondsLeft(StatusLink::Clock::time_point deadline) {
  const auto left =
      std::chrono::ceil<std::chrono::milliseconds>(deadline - StatusLink::Clock::now());
  return left.count() > 0 ? static_cast<DWORD>(left.count()) : 0;
}

// A read in flight: the driver writes into the OVERLAPPED and the buffer until the read
// completes, so both live on the heap and outlive a read that never comes back.
struct PendingRead {
  OVERLAPPED overlapped{};
  char buffer[256];
};

class UsbStatusLink final : public StatusLink {
 public:
  UsbStatusLink(SystemCalls& sys, HANDLE handle, std::string device, int cancelFd)
      : sys_(sys), handle_(handle), device_(std::move(device)), cancelFd_(cancelFd) {
    NewRead();
  }
  UsbStatusLink(const UsbStatusLink&) = delete;
  UsbStatusLink& operator=(const UsbStatusLink&) = delete;

  ~UsbStatusLink() override {
    if (reading_) CancelRead();
    sys_.CloseHandle(handle_);
    if (read_ && read_->overlapped.hEvent) ::CloseHandle(read_->overlapped.hEvent);
  }

  bool Send(BytesView bytes, Clock::time_point deadline) override {
    const DWORD left = MillisecondsLeft(deadline);
    if (left == 0) return false;
    HandleOutput out;
    out.handle = handle_;
    out.device = device_;
    out.stall = std::chrono::milliseconds(left);
    out.cancelFd = cancelFd_;
    try {
      OverlappedWriter(sys_, out).WriteAll(bytes);
    } catch (const PrintFailure& failure) {
      if (failure.code() == FailureCode::TimedOut) return false;
      throw;
    }
    return true;
  }

  bool Receive(Bytes& into, Clock::time_point deadline) override {
    if (readError_ != 0) return false;
    const HANDLE event = read_->overlapped.hEvent;
    if (!event) throw FromWindowsError(::GetLastError(), device_, Stage::Write);
    for (;;) {
      if (!reading_ && !StartRead()) return false;
      const Waited waited = WaitOrCancel(sys_, event, MillisecondsLeft(deadline), cancelFd_);
      if (waited == Waited::Cancelled) {
        CancelRead();
        throw failures::Interrupted();
      }
      if (waited == Waited::TimedOut) return false;  // the read stays for the next call
      reading_ = false;
      DWORD got = 0;
      if (!sys_.GetOverlappedResult(handle_, &read_->overlapped, &got, FALSE)) {
        const DWORD error = ::GetLastError();
        if (!CannotRead(error)) throw FromWindowsError(error, device_, Stage::Write);
        readError_ = error;
        return false;
      }
      if (got > 0) {
        into.append(read_->buffer, std::min<std::size_t>(got, sizeof read_->buffer));
        return true;
      }
      const DWORD left = MillisecondsLeft(deadline);
      if (left == 0) return false;
      SleepOrCancel(std::min(left, kEmptyReadPauseMs), cancelFd_);
    }
  }

  PrintFailure Unanswered(std::string_view device, std::chrono::milliseconds bound) const override {
    return failures::NoAnswerOverUsb(device, bound, readError_);
  }

 private:
  // Starts a read; false, remembering why, when the driver does not read at all.
  bool StartRead() {
    const HANDLE event = read_->overlapped.hEvent;
    read_->overlapped = OVERLAPPED{};
    read_->overlapped.hEvent = event;
    ::ResetEvent(event);
    if (!sys_.ReadFile(handle_, read_->buffer, sizeof read_->buffer, nullptr, &read_->overlapped)) {
      const DWORD error = ::GetLastError();
      if (CannotRead(error)) {
        readError_ = error;
        return false;
      }
      if (error != ERROR_IO_PENDING) throw FromWindowsError(error, device_, Stage::Write);
    }
    reading_ = true;  // done at once or pending, the event tells
    return true;
  }

  // Cancels the read in flight. One that does not come back is left to the driver (with its
  // buffer) for good.
  void CancelRead() {
    reading_ = false;
    sys_.CancelIoEx(handle_, &read_->overlapped);
    if (sys_.WaitForSingleObject(read_->overlapped.hEvent, kCancelWaitMs) == WAIT_OBJECT_0) return;
    (void)read_.release();
    NewRead();
  }

  void NewRead() {
    read_ = std::make_unique<PendingRead>();
    read_->overlapped.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  }

  SystemCalls& sys_;
  HANDLE handle_;
  std::string device_;
  int cancelFd_;
  std::unique_ptr<PendingRead> read_;
  bool reading_ = false;
  DWORD readError_ = 0;  // the driver's answer to a read, when it does not read at all
};

}  // namespace

std::unique_ptr<StatusLink> OpenUsbStatusLink(const std::string& printer, std::string_view device,
                                              const StatusOptions& options, SystemCalls& sys) {
  const UsbPrinter found = FindUsbPrinter(printer, device, sys);
  const HANDLE handle = sys.CreateFileW(found.path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                        /*share=*/0, OPEN_EXISTING, FILE_FLAG_OVERLAPPED);
  if (handle == INVALID_HANDLE_VALUE)
    throw FromWindowsError(::GetLastError(), device, Stage::Open, /*heldPort=*/true);
  return std::make_unique<UsbStatusLink>(sys, handle, std::string(device), options.cancelFd);
}

}  // namespace qrticket
