// Numbers on the command line are decimal, whatever they look like: "010" is ten.
#pragma once

#include <optional>
#include <string_view>

namespace qrticket::cli {

// An optional sign and one or more decimal digits, nothing else (no spaces, no 0x, no
// exponent). nullopt for anything else, the empty text included, and beyond long long.
std::optional<long long> ParseDecimalInteger(std::string_view text);

// Digits with an optional decimal point ("10", "0.25", ".5"), read the same in every locale.
// nullopt for anything else: a sign, an exponent, "inf", "nan", the empty text.
std::optional<double> ParseDecimalFraction(std::string_view text);

}  // namespace qrticket::cli
