// --text-file: reading the text to encode from a file, a FIFO or a device, within bounds.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace qrticket::cli {

// The most a file can need for the longest text a ticket carries (32,764 characters): four
// UTF-8 bytes per character, a byte-order mark and a final CR LF. Anything longer cannot be
// printed, so it is not read any further.
inline constexpr std::size_t kMaxTextFileBytes = 3 + 4 * 32764 + 2;

// The name that reads standard input.
inline constexpr std::string_view kStandardInput = "-";

struct TextFileRead {
  enum class Status {
    Read,         // `bytes` holds the whole file
    TooLong,      // more than kMaxTextFileBytes
    Unreadable,   // `error` says why (an errno value)
    Stalled,      // nothing came for the stall time-out (a FIFO nobody writes to)
    Interrupted,  // the cancel descriptor became readable
  };
  Status status = Status::Read;
  std::string bytes;
  int error = 0;

  // A read that ended with `status`; `error` for Unreadable.
  static TextFileRead Failed(Status status, int error = 0) {
    return {.status = status, .bytes = {}, .error = error};
  }
};

// Reads `path` whole, as bytes; "-" (kStandardInput) is standard input, which stays open. A
// FIFO, a pipe or a terminal is waited for as long as it keeps giving bytes, and given up on
// once it gives none for `stall`; the wait ends early when `cancelFd` (if 0 or more) becomes
// readable (Windows: its event is set). Reads at most kMaxTextFileBytes + 1 bytes, so
// /dev/zero or an endless pipe cannot fill memory.
TextFileRead ReadTextFile(const std::string& path, std::chrono::milliseconds stall,
                          int cancelFd = -1);

// The text of a file as the ticket takes it, still in UTF-8: a byte-order mark at the start is
// dropped, and so is one final line break (LF or CR LF), as shells drop it; every other line
// break (LF or CR LF) becomes CR LF, as the window sends it. A lone CR stays as it is.
std::string TicketTextFromFile(std::string_view utf8);

}  // namespace qrticket::cli
