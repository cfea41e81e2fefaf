// Which characters of a job print as something else because no ESC t chose a table: the
// printer stays at the table it started at (PC437 at the factory), while the sender most
// likely wrote Windows-1252, as our own tickets do. Text after ESC t is in the table the sender
// chose, and is not noted.
#pragma once

#include <bitset>
#include <optional>
#include <string>

#include "devices/code_tables.h"

namespace qrticket::viewer {

class StartTableMismatches {
 public:
  explicit StartTableMismatches(const CodeTableInfo& startTable) : table_(startTable) {}

  // ESC t chose a table (false), or ESC @ brought the start table back (true).
  void AtStartTable(bool atStart) { atStart_ = atStart; }
  // One text byte printed.
  void Printed(unsigned char byte) {
    if (atStart_ && byte >= 0x80 && !seen_[byte - 0x80]) Note(byte);
  }
  // "tabela PC437 (a de fábrica, sem ESC t): á sai como ß, Ç como ╟", each character once in
  // the order first printed; nullopt when every character printed as written.
  std::optional<std::string> Line() const;

 private:
  void Note(unsigned char byte);

  const CodeTableInfo& table_;
  bool atStart_ = true;
  std::bitset<128> seen_;
  std::u32string intended_, printed_;  // side by side
};

}  // namespace qrticket::viewer
