// The module size box holds text; the ticket needs a signed 16-bit number.
#pragma once

#include <cstdint>
#include <string_view>

namespace qrticket {

// The number at the start of `text`: blanks, tabs and line feeds are removed wherever they
// stand; then an optional sign, digits and one '.' as decimal point (in every locale) are read
// up to the first character that cannot continue the number; no number gives 0. The value is
// rounded to the nearest whole number, halves to the even neighbour (6.5 -> 6, 7.5 -> 8).
// Throws PrintFailure (overflow) when the result is outside -32768..32767.
std::int16_t ConvertModuleSize(std::string_view text);

}  // namespace qrticket
