// Printer command bytes and control characters are made one code at a time.
#pragma once

#include "devices/bytes.h"

namespace qrticket {

// The one-character text that is written as exactly the byte `code`.
// Throws PrintFailure (invalid argument) for a code below 0 or above 255.
Bytes CharFromCode(int code);

}  // namespace qrticket
