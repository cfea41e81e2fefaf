// Port names, network printer names, CUPS queues and paths.
#include "devices/device_name.h"

#include <cctype>
#include <filesystem>
#include <optional>

#include "devices/device_failures.h"

namespace qrticket {
namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// The port families: a name, the highest number, and the device files behind them.
struct PortFamily {
  std::string_view prefix;
  int last;
  std::string_view devicePrefix;
};
constexpr PortFamily kPortFamilies[] = {
    {"COM", kLastSerialPort, "/dev/ttyS"},
    {"LPT", kLastParallelPort, "/dev/lp"},
};

std::string_view TrimSpaces(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A port name, "PREFIXn" or "PREFIXn:" (spaces around it already removed): the port's target,
// with the device path only when n is 1..last written without leading zeros.
std::optional<DeviceTarget> Port(std::string_view name) {
  std::string_view digits = name;
  if (!digits.empty() && digits.back() == ':') digits.remove_suffix(1);
  for (const PortFamily& family : kPortFamilies) {
    if (digits.size() <= family.prefix.size() ||
        !EqualsIgnoringCase(digits.substr(0, family.prefix.size()), family.prefix))
      continue;
    digits.remove_prefix(family.prefix.size());
    if (digits.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
    DeviceTarget target;
    target.kind = DeviceTarget::Kind::Port;
    target.portName = std::string(name);
    if (digits.front() == '0' || digits.size() > 3) return target;
    const int n = std::stoi(std::string(digits));
    if (n <= family.last) target.path = std::string(family.devicePrefix) + std::to_string(n - 1);
    return target;
  }
  return std::nullopt;
}

// CUPS queue names: printable characters other than space, '/', '\\', '?', '#' and quotes,
// at most 127 bytes (what the scheduler accepts as a printer name).
bool QueueNameAllowed(std::string_view queue) {
  if (queue.size() > 127) return false;
  for (const char c : queue) {
    const auto u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u == 0x7F || c == '/' || c == '\\' || c == '?' || c == '#' || c == '"' ||
        c == '\'')
      return false;
  }
  return true;
}

DeviceTarget Cups(std::string_view queue) {
  DeviceTarget target;
  target.kind = QueueNameAllowed(queue) ? DeviceTarget::Kind::Cups : DeviceTarget::Kind::Invalid;
  target.queue = std::string(queue);
  return target;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
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

// Text after a colon that may be settings: digits, letters, commas, points and spaces, a digit
// first. Anything else after the last colon (the "-port0" of /dev/serial/by-path names) is part
// of a path.
bool LooksLikeSettings(std::string_view text) {
  text = TrimSpaces(text);
  if (text.empty() || text.front() < '0' || text.front() > '9') return false;
  for (const char c : text)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != ',' && c != '.' && c != ' ' &&
        c != '\t')
      return false;
  return true;
}

// `device` (a port or a path target) with the settings written in `text`, or Invalid naming
// the wrong field.
DeviceTarget WithSettings(DeviceTarget device, std::string_view text) {
  const SerialSettingsParse parse = ParseSerialSettings(text);
  if (!parse.settings) {
    DeviceTarget invalid;
    invalid.kind = DeviceTarget::Kind::Invalid;
    invalid.why = failures::SerialFieldText(parse.field, parse.value);
    return invalid;
  }
  device.serial = parse.settings;
  return device;
}

// Windows' device namespace before a port name ("\\.\COM3"); without it, the name as it was.
std::string_view WithoutDeviceNamespace(std::string_view name) {
  constexpr std::string_view kNamespace = "\\\\.\\";
  return name.starts_with(kNamespace) ? name.substr(kNamespace.size()) : name;
}

// Device names that may hold colons of their own (/dev/serial/by-path/pci-0000:00:14.0-...):
// after them only what looks like settings is taken for settings.
bool MayHoldColons(std::string_view path) { return path.starts_with("/dev/serial/"); }

// "COM3:19200,n,8,1", "/dev/ttyUSB0:9600": a serial device followed by settings.
std::optional<DeviceTarget> SerialWithSettings(std::string_view name) {
  // A COM port's name followed by a colon and more is never a file, whatever follows:
  // "COM3:9600:9600" is COM3 with settings that do not parse.
  const auto first = name.find(':');
  if (first == std::string_view::npos) return std::nullopt;
  if (auto port = Port(WithoutDeviceNamespace(TrimSpaces(name.substr(0, first))));
      port && IsSerialDevice(*port) && !TrimSpaces(name.substr(first + 1)).empty() &&
      !NamesSerialTty(name.substr(0, name.rfind(':')))) {
    port->portName += ':';
    return WithSettings(*std::move(port), name.substr(first + 1));
  }
  const auto colon = name.rfind(':');
  const std::string_view settings = name.substr(colon + 1);
  if (TrimSpaces(settings).empty()) return std::nullopt;  // "COM3:" alone is the port
  const std::string_view head = name.substr(0, colon);
  if (auto port = Port(TrimSpaces(head))) {
    if (!port->portName.ends_with(':')) port->portName += ':';
    if (!IsSerialDevice(*port)) {
      DeviceTarget invalid;
      invalid.kind = DeviceTarget::Kind::Invalid;
      invalid.why = failures::SettingsNeedSerialPort(port->portName);
      return invalid;
    }
    return WithSettings(*std::move(port), settings);
  }
  if (!NamesSerialTty(head)) return std::nullopt;
  if (MayHoldColons(head) && !LooksLikeSettings(settings)) return std::nullopt;
  std::error_code error;
  if (std::filesystem::exists(std::filesystem::path(std::string(name)), error))
    return std::nullopt;  // a device whose own name has a colon in it
  // The last part of a name that holds colons may look like settings and be none (the "1.0"
  // of a USB interface in /dev/serial/by-path): with no device before it either, the whole is
  // the name, and its failure is that it does not exist.
  if (MayHoldColons(head) && !ParseSerialSettings(settings).settings &&
      !std::filesystem::exists(std::filesystem::path(std::string(head)), error))
    return std::nullopt;
  return WithSettings(Target(DeviceTarget::Kind::Path, std::string(head)), settings);
}

}  // namespace

DeviceTarget ResolveDeviceName(std::string_view name) {
  if (name == "-") return Target(DeviceTarget::Kind::StandardOutput, {});
  constexpr std::string_view kTcpScheme = "tcp://";
  if (StartsWithIgnoringCase(name, kTcpScheme)) return Tcp(name.substr(kTcpScheme.size()));
  const std::string_view trimmed = TrimSpaces(name);
  constexpr std::string_view kCupsScheme = "cups:";
  if (StartsWithIgnoringCase(trimmed, kCupsScheme)) return Cups(trimmed.substr(kCupsScheme.size()));
  if (auto port = Port(trimmed)) return *std::move(port);
  if (auto serial = SerialWithSettings(name)) return *std::move(serial);
  return Target(DeviceTarget::Kind::Path, std::string(name));
}

bool IsSerialDevice(const DeviceTarget& target) {
  if (target.kind == DeviceTarget::Kind::Port) return StartsWithIgnoringCase(target.portName, "COM");
  return target.kind == DeviceTarget::Kind::Path && NamesSerialTty(target.path);
}

std::string NameWithSettings(std::string_view name, const SerialSettings& settings) {
  const DeviceTarget target = ResolveDeviceName(name);
  std::string device = target.kind == DeviceTarget::Kind::Port ? target.portName : target.path;
  if (target.kind == DeviceTarget::Kind::Port && !device.ends_with(':')) device += ':';
  if (target.kind != DeviceTarget::Kind::Port) device += ':';
  return device + SerialSettingsText(settings);
}

std::string PortNameOf(std::string_view path) {
  for (const PortFamily& family : kPortFamilies) {
    if (!path.starts_with(family.devicePrefix)) continue;
    const std::string_view digits = path.substr(family.devicePrefix.size());
    if (digits.empty() || digits.size() > 3 || (digits.size() > 1 && digits.front() == '0') ||
        digits.find_first_not_of("0123456789") != std::string_view::npos)
      return {};
    const int n = std::stoi(std::string(digits)) + 1;
    if (n > family.last) return {};
    return std::string(family.prefix) + std::to_string(n) + ":";
  }
  return {};
}

}  // namespace qrticket
