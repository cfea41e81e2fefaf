// Port names, network printer names and paths.
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

DeviceTarget Target(DeviceTarget::Kind kind, std::string path) {
  DeviceTarget target;
  target.kind = kind;
  target.path = std::move(path);
  return target;
}

// 1..65535 in plain decimal digits; 0 when the text is anything else.
std::uint16_t TcpPort(std::string_view text) {
  if (text.empty() || text.size() > 5) return 0;
  unsigned value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return value <= 65535 ? static_cast<std::uint16_t>(value) : 0;
}

// Characters that never belong to a host name or address outside brackets.
bool HostCharacterAllowed(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u > 0x20 && u != 0x7F && c != '/' && c != ':' && c != '[' && c != ']' && c != '@' &&
         c != '?' && c != '#';
}

DeviceTarget Tcp(std::string_view rest) {
  DeviceTarget target;
  target.kind = DeviceTarget::Kind::Invalid;
  std::string_view host;
  std::string_view port;
  const bool bracketed = !rest.empty() && rest.front() == '[';
  if (bracketed) {
    const auto close = rest.find(']');
    if (close == std::string_view::npos) return target;
    host = rest.substr(1, close - 1);
    if (host.empty() || host.find_first_of("[]/ ") != std::string_view::npos) return target;
    rest.remove_prefix(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':') return target;
      port = rest.substr(1);
      if (port.empty()) return target;
    }
  } else {
    const auto colon = rest.find(':');
    host = rest.substr(0, colon);
    if (colon != std::string_view::npos) {
      port = rest.substr(colon + 1);
      if (port.empty()) return target;
    }
    if (host.empty()) return target;
    for (const char c : host)
      if (!HostCharacterAllowed(c)) return target;
  }
  target.port = port.empty() ? kRawPrinterPort : TcpPort(port);
  if (target.port == 0) return target;
  target.kind = DeviceTarget::Kind::Tcp;
  target.host = std::string(host);
  target.bracketed = bracketed;
  return target;
}

}  // namespace

DeviceTarget ResolveDeviceName(std::string_view name) {
  if (name == "-") return Target(DeviceTarget::Kind::StandardOutput, {});
  constexpr std::string_view kTcpScheme = "tcp://";
  if (name.size() >= kTcpScheme.size() &&
      EqualsIgnoringCase(name.substr(0, kTcpScheme.size()), kTcpScheme))
    return Tcp(name.substr(kTcpScheme.size()));
  if (const int n = PortNumber(name, "LPT", 2))
    return Target(DeviceTarget::Kind::Path, "/dev/lp" + std::to_string(n - 1));
  if (const int n = PortNumber(name, "COM", 6))
    return Target(DeviceTarget::Kind::Path, "/dev/ttyS" + std::to_string(n - 1));
  return Target(DeviceTarget::Kind::Path, std::string(name));
}

}  // namespace qrticket
