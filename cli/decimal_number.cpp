// Decimal numbers, read without the C library's octal, hexadecimal and locale rules.
#include "decimal_number.h"

#include <charconv>
#include <string>

namespace qrticket::cli {

std::optional<long long> ParseDecimalInteger(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos)
    return std::nullopt;
  // Parsed with the sign so that the most negative value fits.
  const std::string signedText = std::string(negative ? "-" : "").append(text);
  long long value = 0;
  const auto [end, error] =
      std::from_chars(signedText.data(), signedText.data() + signedText.size(), value, 10);
  if (error != std::errc() || end != signedText.data() + signedText.size()) return std::nullopt;
  return value;
}

std::optional<double> ParseDecimalFraction(std::string_view text) {
  const auto point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  const std::string_view fraction =
      point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
  const auto onlyDigits = [](std::string_view s) {
    return s.find_first_not_of("0123456789") == std::string_view::npos;
  };
  if (whole.size() + fraction.size() == 0 || !onlyDigits(whole) || !onlyDigits(fraction))
    return std::nullopt;
  double value = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace qrticket::cli
