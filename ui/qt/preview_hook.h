// What "VISUALIZAR:" opens in the Qt window.
#pragma once

#include <functional>

#include "ticket/qr_print_settings.h"
#include "ticket/ticket_job.h"

namespace qrticket::ui {

// Shows the ticket made from `settings` in a preview window; failures go to `reporter` like
// the print job's. The main window calls it, when one is set, instead of PrintQrTest.
using PreviewHook = std::function<void(const QrPrintSettings& settings, FailureReporter& reporter)>;

}  // namespace qrticket::ui
