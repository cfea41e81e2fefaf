// Helpers for the virtual printer's tests: settings for our own tickets, and a real QR decoder.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "render_ticket.h"
#include "ticket/qr_print_settings.h"

namespace qrticket::viewer::testing {

// Settings for a ticket with `data` and the window's defaults otherwise.
QrPrintSettings TicketSettings(Bytes data);

// Every QR symbol zbar finds in the picture, as raw bytes (no character set guessing). The
// picture is first given a white margin, as the paper has around its printable width, and
// enlarged `scale` times, as a phone camera sees small modules.
std::vector<Bytes> DecodeQr(const RenderedTicket& ticket, int scale = 1);

// The module grid of symbol `index` read back from the pixels: 1 where the module's centre
// is black.
std::vector<std::uint8_t> SampleModules(const RenderedTicket& ticket, std::size_t index,
                                        int modules);

// True when some report line contains `text`.
bool ReportHas(const RenderedTicket& ticket, const std::string& text);
std::string ReportText(const RenderedTicket& ticket);

}  // namespace qrticket::viewer::testing
