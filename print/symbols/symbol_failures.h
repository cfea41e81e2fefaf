// The failures of the limits ticket and of the ticket's raster symbol. Wording in symbol_failures.cpp.
#pragma once

#include <string_view>

#include "devices/failure.h"

namespace qrticket::failures {

// The limits ticket is not made: the chosen size, model or level gives no symbol, or one the
// printer would draw with settings other than those chosen.
PrintFailure ProbeRefused(std::string_view why);

// The ticket's symbol cannot be drawn as an image: no symbol with the chosen values, or one
// wider than the paper. Nothing is sent.
PrintFailure RasterRefused(std::string_view why);

}  // namespace qrticket::failures
