// Asking a printer, over a two-way link, for its status (DLE EOT 1 to 4) and, while it is on
// line, for its identity (GS I). Every request waits a bounded time for its answer.
#pragma once

#include <chrono>
#include <string_view>
#include <vector>

#include "devices/bytes.h"
#include "devices/failure.h"
#include "status/printer_status.h"
#include "status/status_link.h"

namespace qrticket {

struct StatusReport {
  StatusAnswers status;
  PrinterIdentity identity;
  // GS I was not sent because the printer is off line: it would keep GS I in its buffer and
  // answer only once back on line.
  bool identitySkippedOffline = false;
  // Requests that went unanswered, in the order asked.
  std::vector<std::string> unanswered;
  // Automatic status blocks (GS a) that came without being asked: how many, and the last few
  // (four bytes each; a printer may send them without end).
  std::size_t unaskedCount = 0;
  std::vector<Bytes> unasked;
  // The printer closed the link after it had answered; what was not asked by then is missing.
  bool hungUp = false;

  bool ready() const { return IsReady(status); }
};

// How long the link must stay silent before a request goes out, and the most that waiting for
// that silence may take (a printer streaming automatic status is never silent).
inline constexpr std::chrono::milliseconds kQuietTime{30};
inline constexpr std::chrono::milliseconds kDrainBound{150};

// The requests as they go out.
Bytes StatusRequestBytes(StatusRequest request);      // DLE EOT n: 10 04 n
Bytes IdentityRequestBytes(IdentityRequest request);  // GS I n: 1D 49 n

// Asks on `link`, one request at a time. DLE EOT 1 comes first; without its answer the
// printer did not answer at all (throws "a impressora não respondeu"). Once one request of a
// kind goes unanswered the rest of that kind is not asked, so that a late answer cannot be
// taken for the next one's; the same when options.whole runs out. Every wait ends at its bound
// whatever the printer sends; a text that has begun is read to its NUL within options.whole.
// Before each request the link is read until it has been quiet for kQuietTime (at most
// kDrainBound): what was there before the first request, or after one given up, is dropped;
// anything else besides automatic status and flow control (a stray byte, an answer sent
// twice, noise) came unasked, as do such bytes before an answer or after the last one, and
// makes the whole exchange unsure. Throws PrintFailure: UnaskedData then, NoAnswer, HungUp.
StatusReport AskPrinter(StatusLink& link, std::string_view device, const StatusOptions& options);

// Opens `device` (OpenStatusLink), asks (AskPrinter) and lets go. Throws PrintFailure.
StatusReport QueryPrinterStatus(std::string_view device, const StatusOptions& options = {},
                                SystemCalls& sys = SystemCalls::Real());

}  // namespace qrticket
