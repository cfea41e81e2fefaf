// Looking up code tables and the characters of their bytes.
#include "devices/code_tables.h"

namespace qrticket {

const CodeTableInfo* FindCodeTable(int number) {
  for (std::size_t i = 0; i < kCodeTableCount; ++i) {
    if (kCodeTables[i].number == number) return &kCodeTables[i];
  }
  return nullptr;
}

char32_t CharacterOf(const CodeTableInfo& table, unsigned char byte) {
  return byte < 0x80 ? byte : table.upper[byte - 0x80];
}

}  // namespace qrticket
