// The invoice QR code's message against Portaria 195/2020: fields, order, lengths, formats and
// the two sums. Plain C++, no I/O; cheap enough to run on every keystroke.
#pragma once

#include <string_view>

#include "portaria/portaria_finding.h"

namespace qrticket::portaria {

// Findings for `text` (Windows-1252 bytes, as the symbol holds them), in the order of the text,
// then the missing fields, then the regions' blocks and the sums. Each broken point is named
// once: a field's value is judged only when it is there, not empty and not too long.
Findings CheckMessage(std::string_view text);

}  // namespace qrticket::portaria
