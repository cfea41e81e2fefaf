// The device name that shows a ticket on screen instead of sending it to a device.
#pragma once

#include <QString>
#include <functional>

#include "ticket/qr_print_settings.h"
#include "ticket/ticket_job.h"

namespace qrticket::ui {

inline constexpr const char* kPreviewDeviceName = "VISUALIZAR:";

// Shows the ticket made from `settings` in a preview window; failures go to `reporter` like
// the print job's. The main window calls it, when one is set, instead of PrintQrTest.
using PreviewHook = std::function<void(const QrPrintSettings& settings, FailureReporter& reporter)>;

// True for "VISUALIZAR:" in any case, with spaces around it or not.
inline bool IsPreviewDeviceName(const QString& deviceText) {
  return deviceText.trimmed().compare(QLatin1String(kPreviewDeviceName), Qt::CaseInsensitive) == 0;
}

}  // namespace qrticket::ui
