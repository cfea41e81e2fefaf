// Bounded writes and the read in flight of the status links over a Windows handle.
#include "status/win/handle_exchange.h"

#include <algorithm>
#include <chrono>

#include "devices/deadline.h"
#include "devices/failure.h"
#include "devices/win/overlapped_output.h"

namespace qrticket {
namespace {

// How long a cancelled read may take to come back before it is given up on.
constexpr DWORD kCancelWaitMs = 2000;

}  // namespace

bool SendBefore(SystemCalls& sys, HANDLE handle, std::string_view device, BytesView bytes,
                StatusLink::Clock::time_point deadline, int cancelFd) {
  const DWORD left = MillisecondsLeft(deadline);
  if (left == 0) return false;
  HandleOutput out;
  out.handle = handle;
  out.device = device;
  out.stall = std::chrono::milliseconds(left);
  out.cancelFd = cancelFd;
  try {
    OverlappedWriter(sys, out).WriteAll(bytes);
  } catch (const PrintFailure& failure) {
    if (failure.code() == FailureCode::TimedOut) return false;
    throw;
  }
  return true;
}

InFlightRead::InFlightRead(SystemCalls& sys, HANDLE handle) : sys_(sys), handle_(handle) { Renew(); }

InFlightRead::~InFlightRead() {
  if (read_->overlapped.hEvent) ::CloseHandle(read_->overlapped.hEvent);
}

DWORD InFlightRead::Start(DWORD size) {
  const HANDLE signal = read_->overlapped.hEvent;
  read_->overlapped = OVERLAPPED{};
  read_->overlapped.hEvent = signal;
  ::ResetEvent(signal);
  if (sys_.ReadFile(handle_, read_->buffer, std::min(size, kCapacity), nullptr,
                    &read_->overlapped))
    return 0;
  const DWORD error = ::GetLastError();
  return error == ERROR_IO_PENDING ? 0 : error;
}

bool InFlightRead::Cancel() {
  sys_.CancelIoEx(handle_, &read_->overlapped);
  if (sys_.WaitForSingleObject(read_->overlapped.hEvent, kCancelWaitMs) == WAIT_OBJECT_0)
    return true;
  (void)read_.release();
  Renew();
  return false;
}

bool InFlightRead::Result(DWORD* got) {
  *got = 0;
  return sys_.GetOverlappedResult(handle_, &read_->overlapped, got, FALSE) != FALSE;
}

void InFlightRead::Renew() {
  read_ = std::make_unique<Pending>();
  read_->overlapped.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

}  // namespace qrticket
