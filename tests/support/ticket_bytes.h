// The bytes the real ticket job writes, for tests that compare with them or feed them on.
#pragma once

#include "devices/bytes.h"
#include "ticket/qr_print_settings.h"

namespace qrticket::testing {

// The bytes PrintQrTest writes for `settings`, sent to a file of their own (deviceName is
// replaced). Fails the current test when the job reports a failure.
Bytes TicketBytes(QrPrintSettings settings);

}  // namespace qrticket::testing
