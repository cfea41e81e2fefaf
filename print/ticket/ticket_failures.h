// The failures of the ticket job and the QR command builders: values that do not fit the
// command bytes. Wording in ticket_failures.cpp.
#pragma once

#include "devices/failure.h"

namespace qrticket::failures {

// The data text does not fit the QR length field (32764 bytes at most).
PrintFailure DataTooLong();
// The module size text converts to a whole number outside -32768..32767.
PrintFailure ModuleSizeOverflow();
// A list position so large that the command byte made from it overflows.
PrintFailure IndexOverflow();

}  // namespace qrticket::failures
