// The character code tables of ESC t: which character each byte 0x80..0xFF prints. Bytes
// below 0x80 are ASCII in every table. The tables are data (code_table_data.cpp, generated).
#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace qrticket::viewer {

struct CodeTableInfo {
  int number;        // ESC t n
  const char* name;  // "PC437", "WPC1252"...
  std::array<char16_t, 128> upper;  // bytes 0x80..0xFF; 0 where the table defines nothing
};

// Every table drawn, generated from Python's codecs by scripts/make_code_tables.py.
extern const CodeTableInfo kCodeTables[];
extern const std::size_t kCodeTableCount;

// The table the virtual printer starts with and returns to on ESC @: Windows-1252, which our
// tickets are written in (a printer is set to it with its memory switches).
inline constexpr int kPowerOnCodeTable = 16;

// The table ESC t n selects, or nullptr when we do not draw it.
const CodeTableInfo* FindCodeTable(int number);

// The character `byte` prints in `table`; 0 when it prints nothing.
char32_t CharacterOf(const CodeTableInfo& table, unsigned char byte);

// "PC437, PC850, ..." for the report.
std::string DrawnCodeTableNames();

}  // namespace qrticket::viewer
