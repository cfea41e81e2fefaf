// The layout of the QR test ticket, statement by statement.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "devices/print_item.h"
#include "ticket/qr_print_settings.h"

namespace qrticket {

// The header: initialise, optional page mode and centring, company and title lines.
Bytes TicketHeader(const QrPrintSettings& settings);

// Every statement of the ticket in order, with the module size already converted:
// header, QR block, parameter echo, data line, footer and six feeds (19 statements, 20 in
// page mode).
std::vector<PrintStatement> TicketStatements(const QrPrintSettings& settings,
                                             std::int16_t moduleSize);

// The same statements, and the builder's failure description (UTF-8) when statement 2 carries
// it in place of the QR commands. With settings.symbolImage, statement 2 is the drawer's image
// instead, and the drawer's PrintFailure comes through.
struct TicketLayout {
  std::vector<PrintStatement> statements;
  std::optional<std::string> qrBlockFailure;
};
TicketLayout LayOutTicket(const QrPrintSettings& settings, std::int16_t moduleSize);

}  // namespace qrticket
