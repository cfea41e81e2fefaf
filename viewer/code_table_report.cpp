// Noting the characters a code table prints otherwise than Windows-1252.
#include "code_table_report.h"

#include "devices/text_encoding.h"
#include "render_report.h"

namespace qrticket::viewer {

void CodeTableMismatches::TableInForce(const CodeTableInfo& table, bool byEscT) {
  for (current_ = 0; current_ < uses_.size(); ++current_) {
    if (uses_[current_].table == &table && uses_[current_].byEscT == byEscT) return;
  }
  uses_.push_back(Use{&table, byEscT, {}, {}, {}});  // at current_, where the search ended
}

void CodeTableMismatches::Note(unsigned char byte) {
  Use& use = uses_[current_];
  use.seen.set(byte - 0x80);
  const char32_t intended = Cp1252ToCodePoint(byte);
  if (intended >= 0x80 && intended <= 0x9F) return;  // undefined in Windows-1252: no meaning
  const char32_t printed = CharacterOf(*use.table, byte);
  if (printed == intended) return;
  if (use.intended.empty()) order_.push_back(current_);
  use.intended += intended;
  use.printed += printed;
}

std::vector<std::string> CodeTableMismatches::Lines() const {
  std::vector<std::string> lines;
  for (const std::size_t index : order_) {
    const Use& use = uses_[index];
    lines.push_back(say::CodeTableMismatches(use.table->name, use.table->number, use.byEscT,
                                              use.table->number == kFactoryCodeTable,
                                              use.intended, use.printed));
  }
  return lines;
}

}  // namespace qrticket::viewer
