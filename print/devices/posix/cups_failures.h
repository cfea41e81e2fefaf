// The failures of CUPS queues, with their Portuguese descriptions. `reason` is CUPS's own
// wording (printer-state-message, or the scheduler's error); it is quoted when there is one.
// `server` is the scheduler as libcups names it.
#pragma once

#include <chrono>
#include <string_view>

#include "devices/failure.h"

namespace qrticket::failures {

// libcups itself is not installed (it is loaded only when a CUPS queue is used).
PrintFailure CupsNotInstalled();
PrintFailure CupsUnavailable(std::string_view server);
// The scheduler stopped answering in the middle of the job (silent, or gone).
PrintFailure CupsNotResponding(std::string_view server);
PrintFailure CupsQueueNotFound(std::string_view queue);
PrintFailure CupsNoDefault();
PrintFailure CupsRefused(std::string_view queue, std::string_view reason);
PrintFailure CupsJobHeld(std::string_view queue, int job, std::string_view reason);
PrintFailure CupsJobCancelled(std::string_view queue, int job, std::string_view reason);
PrintFailure CupsJobAborted(std::string_view queue, int job, std::string_view reason);
// `cause`, for a job cancelled after CUPS's backend had sent the printer every byte: the ticket
// may have printed all the same. Same code as `cause`.
PrintFailure CupsCancelledAfterSending(const PrintFailure& cause);
// The job made no progress for the stall time-out and was cancelled.
PrintFailure CupsTimedOut(std::string_view queue, int job, std::chrono::milliseconds stall,
                          bool queueStopped, std::string_view reason);

}  // namespace qrticket::failures
