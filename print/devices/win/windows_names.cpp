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

}  // namespace

std::optional<std::string> InstalledPrinterName(std::string_view name) {
  constexpr std::string_view kScheme = "printer:";
  name = TrimSpaces(name);
  if (name.size() < kScheme.size()) return std::nullopt;
  for (std::size_t i = 0; i < kScheme.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(name[i])) != kScheme[i]) return std::nullopt;
  // Spaces around the name are taken as typing, as around a port name.
  return std::string(TrimSpaces(name.substr(kScheme.size())));
}

std::string WindowsPortPath(const DeviceTarget& port) {
  std::string_view name = port.portName;
  if (!name.empty() && name.back() == ':') name.remove_suffix(1);
  std::string path = "\\\\.\\";
  for (const char c : name) path += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return path;
}

}  // namespace qrticket
