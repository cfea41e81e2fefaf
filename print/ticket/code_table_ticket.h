// The code-table ticket: one line per code table the tool knows, each selecting its table with
// ESC t n and printing its number, its name and the same Portuguese letters and "€" encoded in
// that table. The technician reads off the line that prints right, and so learns the n that
// gives "ç" on that printer.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "devices/output_device.h"
#include "devices/print_item.h"
#include "devices/system_calls.h"
#include "ticket/ticket_job.h"

namespace qrticket {

// The letters every line prints, in its own table ("?" where the table lacks one).
inline constexpr std::u32string_view kCodeTableSample = U"ÁÂÃÀÇÉÊÍÓÔÕÚ áâãàçéêíóôõú €";

// The ticket's statements: ESC @ and a title, one line per table, feeds, and ESC @ last, so
// the printer is back at its own defaults afterwards.
std::vector<PrintStatement> CodeTableStatements();

// The same as bytes, for the preview.
Bytes CodeTableTicketBytes();

// Writes the ticket to `deviceName`. Never throws: a failure stops the job, releases the
// device and is shown once through `reporter`.
void PrintCodeTables(const std::string& deviceName, FailureReporter& reporter,
                     const ChannelOptions& options = {}, SystemCalls& sys = SystemCalls::Real());

}  // namespace qrticket
