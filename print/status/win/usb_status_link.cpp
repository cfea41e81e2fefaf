// A USB printer as a status link: overlapped writes, and one overlapped ReadFile at a time,
// left in flight between calls so that an answer that comes late is still read, and cancelled
// when the link goes.
#include "status/win/usb_status_link.h"

#include <algorithm>

#include "devices/deadline.h"
#include "devices/device_failures.h"
#include "devices/win/cancel_event.h"
#include "devices/win/usb_printers.h"
#include "devices/win/win_errors.h"
#include "status/win/handle_exchange.h"

namespace qrticket {
namespace {

using failures::Stage;

// A driver that ends a read at once with nothing is asked again after this pause.
constexpr DWORD kEmptyReadPauseMs = 10;

// Errors by which a driver says it does not read from the printer at all.
constexpr DWORD kCannotRead[] = {ERROR_INVALID_FUNCTION, ERROR_NOT_SUPPORTED};

bool CannotRead(DWORD error) {
  return std::find(std::begin(kCannotRead), std::end(kCannotRead), error) != std::end(kCannotRead);
}

class UsbStatusLink final : public StatusLink {
 public:
  UsbStatusLink(SystemCalls& sys, HANDLE handle, std::string device, int cancelFd)
      : sys_(sys), handle_(handle), device_(std::move(device)), cancelFd_(cancelFd),
        read_(sys, handle) {}
  UsbStatusLink(const UsbStatusLink&) = delete;
  UsbStatusLink& operator=(const UsbStatusLink&) = delete;

  ~UsbStatusLink() override {
    if (reading_) CancelRead();
    sys_.CloseHandle(handle_);
  }

  bool Send(BytesView bytes, Clock::time_point deadline) override {
    return SendBefore(sys_, handle_, device_, bytes, deadline, cancelFd_);
  }

  bool Receive(Bytes& into, Clock::time_point deadline) override {
    if (readError_ != 0) return false;
    if (!read_.event()) throw FromWindowsError(::GetLastError(), device_, Stage::Write);
    for (;;) {
      if (!reading_ && !StartRead()) return false;
      const Waited waited =
          WaitOrCancel(sys_, read_.event(), MillisecondsLeft(deadline), cancelFd_);
      if (waited == Waited::Cancelled) {
        CancelRead();
        throw failures::Interrupted();
      }
      if (waited == Waited::TimedOut) return false;  // the read stays for the next call
      reading_ = false;
      DWORD got = 0;
      if (!read_.Result(&got)) {
        const DWORD error = ::GetLastError();
        if (!CannotRead(error)) throw FromWindowsError(error, device_, Stage::Write);
        readError_ = error;
        return false;
      }
      if (got > 0) {
        into.append(read_.data(), std::min<std::size_t>(got, InFlightRead::kCapacity));
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
    if (const DWORD error = read_.Start(InFlightRead::kCapacity); error != 0) {
      if (!CannotRead(error)) throw FromWindowsError(error, device_, Stage::Write);
      readError_ = error;
      return false;
    }
    reading_ = true;  // done at once or pending, the event tells
    return true;
  }

  // Cancels the read in flight. One that does not come back is left to the driver.
  void CancelRead() {
    reading_ = false;
    read_.Cancel();
  }

  SystemCalls& sys_;
  HANDLE handle_;
  std::string device_;
  int cancelFd_;
  InFlightRead read_;
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
