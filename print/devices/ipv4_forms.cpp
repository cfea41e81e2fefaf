// Plain text rules, the same on every platform: no C library's reading of an address is asked.
#include "devices/ipv4_forms.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace qrticket {
namespace {

std::vector<std::string_view> Parts(std::string_view host) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t dot = host.find('.', start);
    parts.push_back(host.substr(start, dot == std::string_view::npos ? dot : dot - start));
    if (dot == std::string_view::npos) return parts;
    start = dot + 1;
  }
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

// One part as inet_aton reads it; nullopt when it is none, or beyond 32 bits.
std::optional<std::uint64_t> OldFormNumber(std::string_view part) {
  int base = 10;
  if (part.size() > 1 && part[0] == '0' && (part[1] == 'x' || part[1] == 'X')) {
    base = 16;
    part.remove_prefix(2);
  } else if (part.size() > 1 && part[0] == '0') {
    base = 8;
  }
  if (part.empty() && base != 16) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : part) {
    const int digit = DigitValue(c);
    if (digit >= base) return std::nullopt;
    value = value * base + digit;
    if (value > 0xFFFFFFFFu) return std::nullopt;
  }
  return value;
}

bool IsOldForm(std::string_view host) {
  const std::vector<std::string_view> parts = Parts(host);
  if (parts.size() > 4) return false;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const std::optional<std::uint64_t> value = OldFormNumber(parts[i]);
    if (!value) return false;
    // Every part but the last is one byte; the last fills the bytes that are left.
    const std::uint64_t most =
        i + 1 < parts.size() ? 0xFFu : (std::uint64_t{1} << (8 * (5 - parts.size()))) - 1;
    if (*value > most) return false;
  }
  return true;
}

}  // namespace

bool IsDottedQuad(std::string_view host) {
  const std::vector<std::string_view> parts = Parts(host);
  if (parts.size() != 4) return false;
  for (const std::string_view part : parts) {
    if (part.empty() || part.size() > 3 || (part.size() > 1 && part[0] == '0')) return false;
    int value = 0;
    for (const char c : part) {
      if (c < '0' || c > '9') return false;
      value = value * 10 + (c - '0');
    }
    if (value > 255) return false;
  }
  return true;
}

bool IsUnusualIpv4Form(std::string_view host) {
  if (host.empty() || IsDottedQuad(host)) return false;
  if (host.find_first_not_of("0123456789.") == std::string_view::npos) return true;
  return IsOldForm(host);
}

}  // namespace qrticket
