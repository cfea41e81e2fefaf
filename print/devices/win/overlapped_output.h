// Writing to a handle opened for overlapped I/O without ever waiting for ever.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string_view>

#include "devices/bytes.h"
#include "devices/system_calls.h"

namespace qrticket {

// One handle the channel writes to, and how.
struct HandleOutput {
  HANDLE handle = INVALID_HANDLE_VALUE;
  std::string_view device;  // the name as the operator typed it, for messages
  std::chrono::milliseconds stall{10000};
  bool seekable = false;  // a disk file: each write names its offset
  bool serial = false;    // a serial port: its output queue shows progress and can be drained
  int cancelFd = -1;      // stops every wait (see cancel_event.h)
};

class OverlappedWriter final {
 public:
  OverlappedWriter(SystemCalls& sys, const HandleOutput& out);
  ~OverlappedWriter();
  OverlappedWriter(const OverlappedWriter&) = delete;
  OverlappedWriter& operator=(const OverlappedWriter&) = delete;

  // Writes every byte, a few KiB per WriteFile so that a slow device shows progress, and
  // continues after partial writes (a port with write time-outs of its own). A write that
  // takes nothing for the stall time-out is cancelled and fails with a time-out; on a serial
  // port a shrinking output queue counts as progress. The cancel event cancels the write and
  // fails as interrupted. Throws PrintFailure naming the device.
  void WriteAll(BytesView bytes);

  // Waits until a serial port's output queue is empty: any change restarts the stall clock; a
  // queue that stays put for the stall time-out (a printer holding the line with flow
  // control) fails with a time-out. A port that cannot tell its queue counts as drained.
  void Drain();

  // Bytes still queued for the serial line, or -1 when the port cannot tell.
  long QueuedBytes();

  // Each write is at most this long.
  static constexpr std::size_t kPieceSize = 4096;

 private:
  struct Pending;
  DWORD WritePiece(BytesView piece, std::chrono::steady_clock::time_point& deadline);
  void Cancel();

  SystemCalls& sys_;
  HandleOutput out_;
  std::uint64_t offset_ = 0;
  std::unique_ptr<Pending> pending_;
};

}  // namespace qrticket
