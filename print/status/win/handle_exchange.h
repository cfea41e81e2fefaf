// What the status links over a Windows handle (a COM port, a USB printer) share: writes bounded
// by a deadline, and the one read each keeps in flight.
#pragma once

#include <memory>
#include <string_view>

#include "devices/bytes.h"
#include "devices/win/system_calls.h"
#include "status/status_link.h"

namespace qrticket {

// Writes `bytes` to `handle` overlapped, bounded by `deadline` and ended by the cancel event
// `cancelFd`. False when the deadline came first. Throws PrintFailure: the write's failures,
// Interrupted.
bool SendBefore(SystemCalls& sys, HANDLE handle, std::string_view device, BytesView bytes,
                StatusLink::Clock::time_point deadline, int cancelFd);

// One overlapped read at a time on a handle. The driver writes into the OVERLAPPED and the
// buffer until the read completes, so both live on the heap and outlive a read that never
// comes back.
class InFlightRead {
 public:
  static constexpr DWORD kCapacity = 256;

  InFlightRead(SystemCalls& sys, HANDLE handle);
  ~InFlightRead();
  InFlightRead(const InFlightRead&) = delete;
  InFlightRead& operator=(const InFlightRead&) = delete;

  // Signalled when the read completes; null when no event could be made.
  HANDLE event() const { return read_->overlapped.hEvent; }
  // Starts a read of up to `size` bytes (at most kCapacity). 0 when it is under way or done;
  // else the error ReadFile failed with at once.
  DWORD Start(DWORD size);
  // Cancels the read; false when it did not come back within a while, and is left to the
  // driver (with its buffer) for good.
  bool Cancel();
  // What the completed read brought: true with `got` bytes at data(), or false with
  // GetLastError() set.
  bool Result(DWORD* got);
  const char* data() const { return read_->buffer; }

 private:
  struct Pending {
    OVERLAPPED overlapped{};
    char buffer[kCapacity];
  };
  void Renew();

  SystemCalls& sys_;
  HANDLE handle_;
  std::unique_ptr<Pending> read_;
};

}  // namespace qrticket
