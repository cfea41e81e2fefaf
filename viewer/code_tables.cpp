// Looking up code tables and characters.
#include "code_tables.h"

namespace qrticket::viewer {

const CodeTableInfo* FindCodeTable(int number) {
  for (std::size_t i = 0; i < kCodeTableCount; ++i) {
    if (kCodeTables[i].number == number) return &kCodeTables[i];
  }
  return nullptr;
}

char32_t CharacterOf(const CodeTableInfo& table, unsigned char byte) {
  return byte < 0x80 ? byte : table.upper[byte - 0x80];
}

std::string DrawnCodeTableNames() {
  std::string names;
  for (std::size_t i = 0; i < kCodeTableCount; ++i) {
    if (!names.empty()) names += ", ";
    names += kCodeTables[i].name;
  }
  return names;
}

}  // namespace qrticket::viewer
