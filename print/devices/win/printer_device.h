// Printers installed in Windows ("printer:NAME"), reached through the print spooler.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "devices/output_device.h"

namespace qrticket {

// Opens the installed printer `printer` (UTF-8; empty: Windows' default printer) and starts
// one RAW job on it: the ticket's bytes go to the printer as they are, past the driver (the
// usual set-up of a USB receipt printer, with its vendor's driver or the generic text one).
// A printer whose state forbids printing (paused, off line, in error, "use printer offline")
// fails at once, before the job. The job is asked to stay in the queue once printed, so that
// the spooler can show it printed. Close() ends the job and waits until the spooler reports
// it printed, or sees it leave the queue after it was being sent to a printer that can print;
// a job that leaves otherwise (deleted, passed on from a paused printer, or never seen again,
// as under Wine) fails saying so, delivery not confirmed. Any change of the job restarts the
// stall clock; a job that shows no change for the stall time-out fails naming the printer's
// state and is deleted, so it does not print later. A job that is abandoned is aborted.
// `device` is the name as typed.
std::unique_ptr<OutputDevice> OpenPrinterDevice(const std::string& printer, std::string_view device,
                                                const ChannelOptions& options, SystemCalls& sys);

// The name of Windows' default printer, or nullopt when there is none.
std::optional<std::string> DefaultPrinterName(SystemCalls& sys);

// What the spooler's job status says about the end of a job.
enum class JobEnd { Waiting, Printed };
JobEnd JobEndFromStatus(DWORD status);

}  // namespace qrticket
