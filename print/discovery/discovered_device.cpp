// What every platform's device list shares: the preview entry, its name and the shown
// description.
#include "discovery/device_discovery.h"

#include "devices/text_encoding.h"
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

// Descriptions carry what printers and schedulers say of themselves: their control
// characters are shown as bytes, so they cannot drive a terminal.
// Tabs and line breaks become spaces: a description is one line.
std::string ShownDescription(const DiscoveredDevice& device) {
  std::string text = device.description;
  for (char& c : text)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  text = ShownControls(text);
  if (device.writable) return text;
  return text + discovery_texts::NoAccess(device.accessGroup);
}

}  // namespace qrticket
