// Standard output ("-") on Windows.
#pragma once

#include <memory>
#include <string_view>

#include "devices/output_device.h"

namespace qrticket {

// Writes the ticket to the process's standard output handle, as it is (no text-mode line
// ends). A file takes the bytes at once. A pipe, console or other device is written by a
// helper thread in pieces, so that a reader that stops reading meets the stall time-out: the
// helper's blocked write is cancelled, and if the system cannot cancel it the thread is left
// behind with its own copy of the bytes. The handle is shared with the shell and never closed.
std::unique_ptr<OutputDevice> OpenStandardOutput(std::string_view device,
                                                 const ChannelOptions& options, SystemCalls& sys);

}  // namespace qrticket
