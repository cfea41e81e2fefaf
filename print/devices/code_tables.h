// The character code tables a printer selects with ESC t: which character each byte
// 0x80..0xFF prints. Bytes below 0x80 are ASCII in every table. The tables are data
// (code_table_data.cpp, generated from Python's codecs by scripts/make_code_tables.py); the
// numbers are ESC t's in Epson's numbering, which most ESC/POS printers follow.
#pragma once

#include <array>
#include <cstddef>

namespace qrticket {

struct CodeTableInfo {
  int number;        // ESC t n
  const char* name;  // "PC437", "WPC1252"...
  std::array<char16_t, 128> upper;  // bytes 0x80..0xFF; 0 where the table defines nothing
};

extern const CodeTableInfo kCodeTables[];
extern const std::size_t kCodeTableCount;

// The table a printer is at when nothing selected one: PC437, the factory setting of most
// ESC/POS printers.
inline constexpr int kFactoryCodeTable = 0;
// Windows-1252, the table the ticket's text is written in.
inline constexpr int kWindows1252CodeTable = 16;

// The table ESC t n selects, or nullptr when we do not know it.
const CodeTableInfo* FindCodeTable(int number);

// The character `byte` prints in `table`; 0 when it prints nothing.
char32_t CharacterOf(const CodeTableInfo& table, unsigned char byte);

}  // namespace qrticket
