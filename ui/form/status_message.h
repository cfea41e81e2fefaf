// The "Estado" button's answer: what the printer in the device box says of itself.
#pragma once

#include <string>
#include <string_view>

namespace qrticket::ui {

// Asks the device named `device` (as typed, UTF-8) and returns what to show: the printer's
// status lines, or why it could not be asked. Bounded: a few seconds at most, plus the
// connect time-out for a network printer.
std::string StatusMessage(std::string_view device);

}  // namespace qrticket::ui
