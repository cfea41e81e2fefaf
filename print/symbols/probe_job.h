// Prints the limits ticket (probe_ticket.h) the way PrintQrTest prints the QR test ticket.
#pragma once

#include "devices/output_device.h"
#include "devices/system_calls.h"
#include "ticket/qr_print_settings.h"
#include "ticket/ticket_job.h"

namespace qrticket {

// Writes the limits ticket for the model, level, module size, dialect and centring of
// `settings` on paper `paperDots` wide to settings.deviceName. Never throws: a failure (no
// symbol possible with those settings, found before the device is opened; or the device's
// own) stops the job, releases the device and is shown once through `reporter`.
void PrintProbe(const QrPrintSettings& settings, int paperDots, FailureReporter& reporter,
                const ChannelOptions& options = {}, SystemCalls& sys = SystemCalls::Real());

}  // namespace qrticket
