// "VISUALIZAR:": the very bytes the ticket job would send, for a view to draw with the virtual
// printer instead of sending them to a device.
#pragma once

#include <optional>

#include "devices/bytes.h"
#include "ticket/qr_print_settings.h"
#include "ticket/ticket_job.h"

namespace qrticket::ui {

// The bytes the ticket job would send for `settings`, laid out in memory. A failure goes to
// `reporter` as a print's would and gives nullopt.
std::optional<Bytes> PreviewTicketBytes(const QrPrintSettings& settings, FailureReporter& reporter);

}  // namespace qrticket::ui
