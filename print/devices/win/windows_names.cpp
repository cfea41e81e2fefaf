// Printer and port names on Windows.
#include "devices/win/windows_names.h"

#include <cctype>

namespace qrticket {

std::optional<std::string> InstalledPrinterName(std::string_view name) {
  constexpr std::string_view kScheme = "printer:";
  if (name.size() < kScheme.size()) return std::nullopt;
  for (std::size_t i = 0; i < kScheme.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(name[i])) != kScheme[i]) return std::nullopt;
  return std::string(name.substr(kScheme.size()));
}

std::string WindowsPortPath(const DeviceTarget& port) {
  std::string_view name = port.portName;
  if (!name.empty() && name.back() == ':') name.remove_suffix(1);
  std::string path = "\\\\.\\";
  for (const char c : name) path += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return path;
}

}  // namespace qrticket
