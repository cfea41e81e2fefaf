// Text for a printer at a given code table: each character becomes the byte that prints it
// there, or '?' when the table lacks it. One character is always one byte, as in
// text_encoding.h, so lengths the ticket counts stay true.
#pragma once

#include <string_view>

#include "devices/bytes.h"
#include "devices/code_tables.h"

namespace qrticket {

// The byte that prints `character` in `table`, or kUnrepresentable ('?'). Characters below
// U+0080 are themselves; a table that holds one character twice gives its first byte.
char ByteInCodeTable(char32_t character, const CodeTableInfo& table);

// Unicode text to the bytes of `table`.
Bytes EncodeInCodeTable(std::u32string_view text, const CodeTableInfo& table);

// Windows-1252 bytes (the ticket's own text) re-encoded for `table`. The five bytes
// Windows-1252 leaves undefined name no character and become '?'.
Bytes Cp1252ToCodeTable(BytesView cp1252, const CodeTableInfo& table);

}  // namespace qrticket
