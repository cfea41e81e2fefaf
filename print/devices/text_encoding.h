// Conversions between the front ends' Unicode text and the Windows-1252 bytes the core holds.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "devices/bytes.h"

namespace qrticket {

// The byte written for any character that Windows-1252 cannot represent.
inline constexpr char kUnrepresentable = '?';

// UTF-8 to Windows-1252. Every code point becomes exactly one byte: one Windows-1252 can
// represent becomes its byte, any other (astral-plane ones and the C1 controls U+0080..U+009F
// included) becomes '?'. The five codes Windows-1252 leaves undefined (U+0081, U+008D, U+008F,
// U+0090, U+009D) keep their byte, as Windows converts them. Returns nullopt when the input is
// not valid UTF-8 (overlong forms, encoded surrogates and truncated sequences included).
std::optional<Bytes> Utf8ToCp1252(std::string_view utf8);

// UTF-16 to Windows-1252, for toolkits that hold text as UTF-16, by the same rules. Never
// fails: a surrogate pair becomes one '?', and so does a lone surrogate.
Bytes Utf16ToCp1252(std::u16string_view utf16);

// The Unicode code point of one Windows-1252 byte (undefined codes map to U+0081 and alike).
char32_t Cp1252ToCodePoint(unsigned char byte);

// Appends one code point to `out` as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);

// Windows-1252 to UTF-8, for showing bytes to a person.
std::string Cp1252ToUtf8(BytesView bytes);

// The same bytes read as ISO-8859-1 and given as UTF-8: what a standard QR reader shows for a
// symbol's byte data, which it takes as ISO-8859-1 when the symbol names no character set. It
// differs from Cp1252ToUtf8 only for 0x80..0x9F ("€", curly quotes, dashes).
std::string Latin1ToUtf8(BytesView bytes);

// UTF-8 text from outside (a printer, a scheduler) made safe for a terminal: C0 controls, DEL,
// C1 controls (U+0080..U+009F, which terminals may take as ESC sequences: U+009B is CSI) and
// bytes that are not UTF-8 are written as "[0x1B]"; everything else stays.
std::string ShownControls(std::string_view utf8);

}  // namespace qrticket
