// The failure of the limits ticket. Wording in symbol_failures.cpp.
#pragma once

#include <string_view>

#include "devices/failure.h"

namespace qrticket::failures {

// The limits ticket is not made: the chosen size, model or level gives no symbol, or one the
// printer would draw with settings other than those chosen.
PrintFailure ProbeRefused(std::string_view why);

}  // namespace qrticket::failures
