// The ticket job with the printer asked before and after (qrticket --check-status).
#pragma once

#include <string>
#include <vector>

#include "status/status_link.h"
#include "ticket/ticket_job.h"

namespace qrticket {

// Asks the printer's status (DLE EOT only), prints the ticket as PrintQrTest does, and asks
// again. Before: a printer that reports a problem (paper out, cover open, off line, an error),
// does not answer or cannot answer fails the job, and nothing is sent. After: a problem, or no
// answer, fails the job with "sent, but may be incomplete". Failures go to `reporter` once,
// with the job's prefix. Returns warnings that fail nothing ("papel a acabar"); `job`, when
// given, gets the ticket job's own result (Failed when it never ran). The status requests watch
// channel.cancelFd as the job does.
std::vector<std::string> PrintQrTestWithStatusCheck(const QrPrintSettings& settings,
                                                    FailureReporter& reporter,
                                                    const ChannelOptions& channel = {},
                                                    StatusOptions status = {},
                                                    SystemCalls& sys = SystemCalls::Real(),
                                                    JobResult* job = nullptr);

}  // namespace qrticket
