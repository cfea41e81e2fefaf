// Printers installed in Windows ("printer:NAME"), reached through the print spooler.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "devices/output_device.h"

namespace qrticket {

// Opens the installed printer `printer` (UTF-8; empty: Windows' default printer) and starts
// one RAW job on it: the ticket's
// bytes go to the printer as they are, past the driver (the usual set-up of a USB receipt
// printer, with its vendor's driver or the generic text one). Close() ends the job and waits
// until the spooler reports it printed, or lets it leave the queue; any change of the job's
// state restarts the stall clock, and a job that shows no change for the stall time-out (a
// printer off line, out of paper, paused) fails with a time-out and is deleted, so it does not
// print later. A job that is abandoned is aborted. `device` is the name as typed.
std::unique_ptr<OutputDevice> OpenPrinterDevice(const std::string& printer, std::string_view device,
                                                const ChannelOptions& options, SystemCalls& sys);

// The name of Windows' default printer, or nullopt when there is none.
std::optional<std::string> DefaultPrinterName(SystemCalls& sys);

// What the spooler's job status says about the end of a job.
enum class JobEnd { Waiting, Printed };
JobEnd JobEndFromStatus(DWORD status);

}  // namespace qrticket
