// Writing to a file descriptor without ever waiting for ever.
#pragma once

#include <chrono>
#include <functional>
#include <string_view>

#include "devices/bytes.h"
#include "devices/system_calls.h"

namespace qrticket {

// One descriptor the channel writes to, and how.
struct FdOutput {
  int fd = -1;
  std::string_view device;  // the name as the operator typed it, for messages
  std::chrono::milliseconds stall{10000};
  // send(2) with MSG_NOSIGNAL and MSG_DONTWAIT instead of write(2) (which runs with SIGPIPE
  // held back). MSG_DONTWAIT makes this one call non-blocking without touching the
  // descriptor's flags, which a socket on standard output shares with other programs.
  bool socket = false;
  // A blocking descriptor shared with other programs (standard output that could not be opened
  // on its own): its flags stay as they are, so the channel waits for room with poll and then
  // writes at most PIPE_BUF bytes, which a pipe that reported room takes without blocking.
  bool sharedBlocking = false;
  // While waiting for room, a shrinking TIOCOUTQ/SIOCOUTQ count is progress too: a socket
  // reports room only once half its buffer is free, which a slow reader may take longer than
  // the stall time-out to reach although it keeps taking bytes.
  bool queueShowsProgress = false;
  // DTR/DSR flow control, which termios has no flag for: before each write the line's DSR
  // (TIOCMGET) must be up and the queue nearly empty, and writes are small (see WriteAll).
  bool watchDsr = false;
  // Every wait also ends, as interrupted, once this descriptor is readable (see
  // ChannelOptions::cancelFd).
  int cancelFd = -1;
};

// Writes every byte of `bytes`, continuing after short writes and EINTR. When the descriptor is
// non-blocking and full, waits for room; fails with a time-out once no byte has been taken for
// `out.stall`. Never writes a byte twice. Throws PrintFailure naming the device. With
// `out.watchDsr` it writes 32 bytes at a time, each once DSR is up and the output queue holds
// less than that, so that at most two such pieces and the UART's FIFO are under way when the
// printer drops DSR; DSR down for `out.stall` is a time-out.
void WriteAll(SystemCalls& sys, const FdOutput& out, BytesView bytes);

// Waits until the descriptor reports room for output again (for drivers that queue one write
// at a time, such as USB printers), bounded by `out.stall`. Throws PrintFailure on a time-out.
void WaitWritable(SystemCalls& sys, const FdOutput& out);

// Calls `queued` every few milliseconds until it returns 0 or less: the device has taken
// everything. Any change of the count restarts the stall clock, so a slow device that keeps
// taking bytes is never cut off; a count that stays put for `out.stall` is a time-out.
// `queued` may throw PrintFailure (a peer that went away).
void WaitUntilDrained(SystemCalls& sys, const FdOutput& out, const std::function<int()>& queued);

}  // namespace qrticket
