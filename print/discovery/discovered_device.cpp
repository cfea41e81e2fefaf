// What every platform's device list shares: the preview entry, its name and the shown
// description.
#include "discovery/device_discovery.h"

#include "discovery/discovery_texts.h"

namespace qrticket {

DiscoveredDevice PreviewDevice() {
  return {.name = kPreviewDevice,
          .description = discovery_texts::Preview(),
          .writable = true,
          .accessGroup = {}};
}

bool IsPreviewDeviceName(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\n\v\f\r";
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return false;
  text = text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
  const std::string_view preview = kPreviewDevice;
  if (text.size() != preview.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != preview[i]) return false;
  }
  return true;
}

std::string ShownDescription(const DiscoveredDevice& device) {
  if (device.writable) return device.description;
  return device.description + discovery_texts::NoAccess(device.accessGroup);
}

}  // namespace qrticket
