// Unicode and Windows-1252 text re-encoded for the code table a printer is at.
#include "devices/code_table_encoding.h"

#include "devices/text_encoding.h"

namespace qrticket {

char ByteInCodeTable(char32_t character, const CodeTableInfo& table) {
  if (character < 0x80) return static_cast<char>(character);
  for (std::size_t i = 0; i < table.upper.size(); ++i) {
    if (table.upper[i] != 0 && table.upper[i] == character) return static_cast<char>(0x80 + i);
  }
  return kUnrepresentable;
}

Bytes EncodeInCodeTable(std::u32string_view text, const CodeTableInfo& table) {
  Bytes out;
  out.reserve(text.size());
  for (const char32_t c : text) out += ByteInCodeTable(c, table);
  return out;
}

Bytes Cp1252ToCodeTable(BytesView cp1252, const CodeTableInfo& table) {
  Bytes out;
  out.reserve(cp1252.size());
  // The undefined bytes decode to C1 controls, which no table holds: they become '?'.
  for (const char c : cp1252)
    out += ByteInCodeTable(Cp1252ToCodePoint(static_cast<unsigned char>(c)), table);
  return out;
}

}  // namespace qrticket
