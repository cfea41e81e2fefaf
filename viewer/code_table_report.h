// Which characters of a job print as something else at the code table in force: the bytes are
// read as the Windows-1252 the sender most likely wrote (our own tickets are), and each byte
// that the table draws otherwise is noted once per table and way of choosing it.
#pragma once

#include <bitset>
#include <string>
#include <vector>

#include "devices/code_tables.h"

namespace qrticket::viewer {

class CodeTableMismatches {
 public:
  // The table now in force, and whether ESC t chose it (else the printer started at it).
  // Called before the first Printed.
  void TableInForce(const CodeTableInfo& table, bool byEscT);
  // One text byte printed at the table in force.
  void Printed(unsigned char byte) {
    if (byte >= 0x80 && !uses_[current_].seen[byte - 0x80]) Note(byte);
  }
  // One line per table that printed some character otherwise, in the order of their first
  // such character:
  // "tabela PC437 (a de fábrica, sem ESC t): á sai como ß, Ç como ╟".
  std::vector<std::string> Lines() const;

 private:
  struct Use {
    const CodeTableInfo* table;
    bool byEscT;
    std::bitset<128> seen;
    std::u32string intended, printed;  // side by side, in the order first printed
  };
  void Note(unsigned char byte);

  // At most two per table (started at, chosen by ESC t): bounded whatever the stream.
  std::vector<Use> uses_;
  std::size_t current_ = 0;
  std::vector<std::size_t> order_;  // uses_ with a character printed otherwise
};

}  // namespace qrticket::viewer
