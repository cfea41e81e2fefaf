// What the spooler says of an installed printer and of a job on it, as SpoolerState words:
// the bits of PRINTER_INFO_2 and JOB_INFO_1 that stop a ticket from printing.
#pragma once

#include <optional>
#include <vector>

#include "devices/win/printer_failures.h"
#include "devices/win/system_calls.h"

namespace qrticket {

// JOB_CONTROL_RETAIN and JOB_CONTROL_RELEASE (Vista and later), which MinGW's winspool.h lacks:
// a retained job stays in the queue after it prints, marked printed, until it is released.
inline constexpr DWORD kJobControlRetain = 8;
inline constexpr DWORD kJobControlRelease = 9;

// The printer's states that stop it printing (Status and the "use printer offline" attribute);
// empty for a printer that may print. Busy, warming up, low on paper and the like are left out.
std::vector<failures::SpoolerState> PrinterStopStates(DWORD status, DWORD attributes);

// The same for a job's status bits: the job's own troubles (paused, blocked by its driver,
// deleted) and those the spooler copies from the printer (off line, out of paper, an error).
std::vector<failures::SpoolerState> JobTroubleStates(DWORD status);

// PrinterStopStates of the printer behind `printer`, read with GetPrinter level 2; nullopt when
// the spooler does not say.
std::optional<std::vector<failures::SpoolerState>> LookAtPrinter(SystemCalls& sys,
                                                                 HANDLE printer);

}  // namespace qrticket
