// The bytes of the real ticket, for tests that compare with them or feed them on.
#pragma once

#include "devices/bytes.h"
#include "ticket/qr_print_settings.h"

namespace qrticket::testing {

// The bytes the ticket job sends for `settings` (QrTestBytes). Fails the current test when the
// job reports a failure.
Bytes TicketBytes(const QrPrintSettings& settings);

}  // namespace qrticket::testing
