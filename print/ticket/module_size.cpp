#include "ticket/module_size.h"

#include <string>

#include "ticket/ticket_failures.h"

namespace qrticket {

std::int16_t ConvertModuleSize(std::string_view text) {
  std::string s;
  for (const char c : text)
    if (c != ' ' && c != '\t' && c != '\n') s += c;

  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';

  // The magnitude saturates just above the range: anything larger overflows anyway, and
  // saturating keeps a text of a thousand digits from overflowing our own arithmetic.
  constexpr long kCap = 100000;
  long whole = 0;
  bool digits = false;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    digits = true;
    whole = std::min(kCap, whole * 10 + (s[i] - '0'));
  }

  // Rounding needs only the first fractional digit and whether anything non-zero follows it.
  int firstFraction = 0;
  bool restNonZero = false;
  if (i < s.size() && s[i] == '.') {
    ++i;
    if (i < s.size() && s[i] >= '0' && s[i] <= '9') firstFraction = s[i++] - '0';
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) restNonZero |= s[i] != '0';
  }
  if (!digits && firstFraction == 0 && !restNonZero) return 0;

  if (firstFraction > 5 || (firstFraction == 5 && (restNonZero || whole % 2 == 1))) ++whole;
  const long value = negative ? -whole : whole;
  if (value < INT16_MIN || value > INT16_MAX) throw failures::ModuleSizeOverflow();
  return static_cast<std::int16_t>(value);
}

}  // namespace qrticket
