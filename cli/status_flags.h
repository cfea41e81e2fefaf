// --status, --check-status and --find-speed: asking the printer instead of, or around, the ticket.
#pragma once

#include <CLI/CLI.hpp>

#include "cli_options.h"

namespace qrticket::cli {

// Adds the three flags to `app`, mutually exclusive, setting `mode` to Mode::AskStatus,
// Mode::PrintTicketCheckingStatus or Mode::FindSpeed; --status and --find-speed also exclude
// the options that give the ticket's text (`textOptions`), since nothing is printed.
void AddStatusFlags(CLI::App& app, Mode& mode, std::initializer_list<CLI::Option*> textOptions);

}  // namespace qrticket::cli
