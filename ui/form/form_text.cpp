// The window's text rules (see form_text.h).
#include "form_text.h"

#include <string>

#include "devices/text_encoding.h"
#include "discovery/device_discovery.h"

namespace qrticket::ui {

Bytes TicketBytesFromText(std::string_view text) {
  std::string withCrLf;
  withCrLf.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) withCrLf += '\r';
    withCrLf += text[i];
  }
  // Views hand over valid UTF-8; should a byte not be, each counts as one unknown character.
  return Utf8ToCp1252(withCrLf).value_or(Bytes(withCrLf.size(), kUnrepresentable));
}

std::size_t TicketCharacterCount(std::string_view text) { return TicketBytesFromText(text).size(); }

bool HasTextBesidesSpaces(std::string_view text) {
  return text.find_first_not_of(' ') != std::string_view::npos;
}

bool IsPreviewDeviceName(std::string_view text) { return qrticket::IsPreviewDeviceName(text); }

}  // namespace qrticket::ui
