// Printer and port names on Windows.
#include "devices/win/windows_names.h"

#include <cctype>

namespace qrticket {

namespace {

std::string_view TrimSpaces(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// What follows `scheme` (lower case) at the start of `name`, in any case; spaces around the
// name are taken as typing, as around a port name.
std::optional<std::string> AfterScheme(std::string_view name, std::string_view scheme) {
  name = TrimSpaces(name);
  if (name.size() < scheme.size()) return std::nullopt;
  for (std::size_t i = 0; i < scheme.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(name[i])) != scheme[i]) return std::nullopt;
  return std::string(TrimSpaces(name.substr(scheme.size())));
}

}  // namespace

std::optional<std::string> InstalledPrinterName(std::string_view name) {
  return AfterScheme(name, "printer:");
}

std::optional<std::string> UsbPrinterName(std::string_view name) {
  return AfterScheme(name, "usb:");
}

std::string WindowsPortPath(const DeviceTarget& port) {
  std::string_view name = port.portName;
  if (!name.empty() && name.back() == ':') name.remove_suffix(1);
  std::string path = "\\\\.\\";
  for (const char c : name) path += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return path;
}

}  // namespace qrticket
