// Writing to a file descriptor without ever waiting for ever.
#pragma once

#include <chrono>
#include <string>

#include "bytes.h"
#include "system_calls.h"

namespace qrticket {

// Writes every byte of `bytes` to `fd`, continuing after short writes and EINTR. When the
// descriptor is non-blocking and full, waits for room; fails with a time-out once no byte has
// been taken for `stall`. Throws PrintFailure naming `device`.
void WriteAll(SystemCalls& sys, int fd, BytesView bytes, std::chrono::milliseconds stall,
              std::string_view device);

// Waits until `fd` reports room for output again (for drivers that queue one write at a time,
// such as USB printers), bounded by `stall`. Throws PrintFailure on a time-out.
void WaitWritable(SystemCalls& sys, int fd, std::chrono::milliseconds stall,
                  std::string_view device);

}  // namespace qrticket
