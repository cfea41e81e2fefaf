// Noting the characters the start table prints otherwise than Windows-1252.
#include "code_table_report.h"

#include "devices/text_encoding.h"
#include "render_report.h"

namespace qrticket::viewer {

void StartTableMismatches::Note(unsigned char byte) {
  seen_.set(byte - 0x80);
  const char32_t intended = Cp1252ToCodePoint(byte);
  if (intended >= 0x80 && intended <= 0x9F) return;  // undefined in Windows-1252: no meaning
  const char32_t printed = CharacterOf(table_, byte);
  if (printed == intended) return;
  intended_ += intended;
  printed_ += printed;
}

std::optional<std::string> StartTableMismatches::Line() const {
  if (intended_.empty()) return std::nullopt;
  return say::StartTableMismatches(table_.name, table_.number == kFactoryCodeTable, intended_,
                                   printed_);
}

}  // namespace qrticket::viewer
