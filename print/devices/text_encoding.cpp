// Windows-1252 <-> Unicode. One character always becomes one byte, so a text's length in
// characters is the number of bytes the printer receives and the QR length fields stay true.
#include "devices/text_encoding.h"

#include <array>

namespace qrticket {
namespace {

// Code points of 0x80..0x9F; the five codes Windows-1252 leaves undefined keep their C1 value.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The table covers 0x80..0x9F both ways: a code point found in it is the byte at its place.
// So the five undefined codes keep their byte, as Windows converts them, and the other C1
// controls (U+0080, U+0085, ...), which Windows-1252 cannot represent, become '?' instead of
// passing as the byte of a different character (U+0080 would otherwise print as the euro).
char ByteForCodePoint(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (std::size_t i = 0; i < kHighControls.size(); ++i)
    if (kHighControls[i] == cp) return static_cast<char>(0x80 + i);
  return kUnrepresentable;
}

}  // namespace

std::optional<Bytes> Utf8ToCp1252(std::string_view utf8) {
  Bytes out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    int extra;
    char32_t cp;
    char32_t minimum;
    if (lead < 0x80) {
      out += static_cast<char>(lead);
      ++i;
      continue;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1, cp = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2, cp = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3, cp = lead & 0x07, minimum = 0x10000;
    } else {
      return std::nullopt;
    }
    if (utf8.size() - i <= static_cast<std::size_t>(extra)) return std::nullopt;
    for (int k = 1; k <= extra; ++k) {
      const auto c = static_cast<unsigned char>(utf8[i + k]);
      if ((c & 0xC0) != 0x80) return std::nullopt;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
    out += ByteForCodePoint(cp);
    i += extra + 1;
  }
  return out;
}

Bytes Utf16ToCp1252(std::u16string_view utf16) {
  Bytes out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    const char16_t unit = utf16[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      ++i;  // a whole astral character: one '?' for the pair
      out += kUnrepresentable;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      out += kUnrepresentable;  // a lone surrogate
    } else {
      out += ByteForCodePoint(unit);
    }
  }
  return out;
}

char32_t Cp1252ToCodePoint(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
  return byte;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string Cp1252ToUtf8(BytesView bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char c : bytes) AppendUtf8(out, Cp1252ToCodePoint(static_cast<unsigned char>(c)));
  return out;
}

std::string Latin1ToUtf8(BytesView bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char c : bytes) AppendUtf8(out, static_cast<unsigned char>(c));
  return out;
}

namespace {

std::string HexEscape(unsigned value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return std::string("[0x") + kDigits[(value >> 4) & 0xF] + kDigits[value & 0xF] + "]";
}

// The length of the UTF-8 sequence at `at` (its lead byte and continuation bytes well formed),
// 0 when it is none.
std::size_t SequenceLength(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2
                             : lead >= 0xE0 && lead < 0xF0                ? 3
                             : lead >= 0xF0 && lead < 0xF5                ? 4
                                                                          : 0;
  if (length == 0 || at + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i)
    if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 0;
  return length;
}

}  // namespace

std::string ShownControls(std::string_view utf8) {
  std::string shown;
  shown.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = SequenceLength(utf8, i);
    if (length == 0) {  // not UTF-8: the byte itself
      shown += HexEscape(byte);
      ++i;
      continue;
    }
    if (length == 1 && (byte < 0x20 || byte == 0x7F)) {
      shown += HexEscape(byte);
    } else if (length == 2 && byte == 0xC2 && static_cast<unsigned char>(utf8[i + 1]) < 0xA0) {
      shown += HexEscape(static_cast<unsigned char>(utf8[i + 1]));  // U+0080..U+009F
    } else {
      shown.append(utf8.substr(i, length));
    }
    i += length;
  }
  return shown;
}

}  // namespace qrticket
