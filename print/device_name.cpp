#include "device_name.h"

#include <cctype>

namespace qrticket {
namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// "PREFIXn" or "PREFIXn:" with n in 1..last; returns n, or 0 when the name is not one of them.
int PortNumber(std::string_view name, std::string_view prefix, int last) {
  if (!name.empty() && name.back() == ':') name.remove_suffix(1);
  if (name.size() != prefix.size() + 1) return 0;
  if (!EqualsIgnoringCase(name.substr(0, prefix.size()), prefix)) return 0;
  const int n = name.back() - '0';
  return n >= 1 && n <= last ? n : 0;
}

}  // namespace

DeviceTarget ResolveDeviceName(std::string_view name) {
  if (name == "-") return {DeviceTarget::Kind::StandardOutput, {}};
  if (const int n = PortNumber(name, "LPT", 2))
    return {DeviceTarget::Kind::Path, "/dev/lp" + std::to_string(n - 1)};
  if (const int n = PortNumber(name, "COM", 6))
    return {DeviceTarget::Kind::Path, "/dev/ttyS" + std::to_string(n - 1)};
  return {DeviceTarget::Kind::Path, std::string(name)};
}

}  // namespace qrticket
