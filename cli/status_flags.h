// --status and --check-status: asking the printer instead of, or around, the ticket.
#pragma once

#include <CLI/CLI.hpp>

namespace qrticket::cli {

enum class StatusMode {
  None,               // the ticket only, exactly as always
  Ask,                // --status: ask and print nothing
  CheckAroundTicket,  // --check-status: ask before and after the ticket
};

// Adds both flags to `app`, mutually exclusive; --status also excludes the options that give
// the ticket's text (`textOptions`), since nothing is printed.
void AddStatusFlags(CLI::App& app, StatusMode& mode, std::initializer_list<CLI::Option*> textOptions);

}  // namespace qrticket::cli
