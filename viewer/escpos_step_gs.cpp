// Parsing GS commands: which take how many parameter bytes, and the events they make.
#include <array>

#include "escpos_step.h"

namespace qrticket::viewer {
namespace {

constexpr std::array<int, 256> GsParameterCounts() {
  std::array<int, 256> t{};
  for (int& v : t) v = kUnknown;
  t['!'] = 1; t['$'] = 2; t['/'] = 1; t[':'] = 0; t['B'] = 1; t['E'] = 1; t['H'] = 1;
  t['I'] = 1; t['L'] = 2; t['P'] = 2; t['T'] = 1; t['W'] = 2; t['\\'] = 2; t['^'] = 3;
  t['a'] = 1; t['b'] = 1; t['c'] = 0; t['f'] = 1; t['h'] = 1; t['j'] = 1; t['r'] = 1;
  t['w'] = 1;
  t['('] = kSpecial; t['8'] = kSpecial; t['V'] = kSpecial; t['k'] = kSpecial;
  t['v'] = kSpecial; t['*'] = kSpecial;
  return t;
}

constexpr auto kGsCounts = GsParameterCounts();

// The longest data of a GS k bar code ended by NUL: printers stop reading at 255 bytes.
constexpr std::size_t kMaxNulEndedBarcode = 255;

}  // namespace

std::size_t EscPosParser::Step::Gs() {
  if (Left() < 2) return More(0, Id(0, kGs));
  const unsigned char code = At(1);
  const CommandId id = Id(kGs, code);
  const int count = kGsCounts[code];
  if (count == kUnknown) return Skip(2, id, false);
  if (count == kSpecial) return GsSpecial(code, id);
  const std::size_t length = 2 + static_cast<std::size_t>(count);
  if (Left() < length) return More(length, id);
  const unsigned char n = count > 0 ? At(2) : 0;
  switch (code) {
    case '!': return Emit(CharacterSize{((n >> 4) & 7) + 1, (n & 7) + 1}, length);
    case 'B': return Emit(Reverse{(n & 1) != 0}, length);
    case 'L': return Emit(LeftMargin{offset_, Word(2)}, length);
    case 'W': return Emit(PrintAreaWidth{offset_, Word(2)}, length);
    case 'P': return Emit(MotionUnits{At(2), At(3)}, length);
    case 'h': case 'w': case 'H': case 'f':
      return Emit(BarcodeSetting{static_cast<char>(code), n}, length);
    default: return Skip(length, id, true);
  }
}

std::size_t EscPosParser::Step::GsSpecial(unsigned char code, CommandId id) {
  switch (code) {
    case '(': return GsParen(id);
    case '8': return GsEight(id);
    case 'V': {  // GS V m [n]: cut; m 65, 66 (and 97.. on newer printers) take a feed n
      if (Left() < 3) return More(0, id);
      const int m = At(2);
      std::size_t length = 0;
      if (m == 0 || m == 1 || m == 48 || m == 49) length = 3;
      else if (m == 65 || m == 66 || m == 97 || m == 98 || m == 103 || m == 104) length = 4;
      else return Skip(3, id, false);
      if (Left() < length) return More(length, id);
      return Emit(Cut{offset_}, length);
    }
    case 'k': return GsK(id);
    case 'v': {  // GS v 0 m xL xH yL yH d1..dk: raster bit image, k = x * y
      if (Left() < 3) return More(0, id);
      if (At(2) != '0') return Skip(2, id, false);
      const CommandId full = Id(kGs, 'v', '0');
      if (Left() < 8) return More(0, full);
      const int widthBytes = Word(4), rows = Word(6);
      const std::uint64_t length = 8 + static_cast<std::uint64_t>(widthBytes) * rows;
      std::size_t result = 0;
      if (!Whole(length, full, result)) return result;
      return Emit(RasterImage{offset_, At(3), widthBytes, rows, View(8, length - 8)},
                  static_cast<std::size_t>(length));
    }
    case '*': {  // GS * x y d1..dk: downloaded bit image, k = x * y * 8
      if (Left() < 4) return More(0, id);
      return Skip(4 + static_cast<std::size_t>(At(2)) * At(3) * 8, id, true);
    }
  }
  return Skip(2, id, false);
}

// GS ( fn pL pH ...: pL pH count the bytes after pH.
std::size_t EscPosParser::Step::GsParen(CommandId id) {
  if (Left() < 5) return More(0, id);
  const unsigned char fn = At(2);
  const CommandId full = Id(kGs, '(', fn);
  const std::size_t length = 5 + static_cast<std::size_t>(Word(3));
  if (fn == 'k' || fn == 'L') {
    std::size_t result = 0;
    if (!Whole(length, full, result)) return result;
    if (length >= 7 && fn == 'k') {
      return Emit(SymbolFunction{offset_, At(5), At(6), View(7, length - 7)}, length);
    }
    if (length >= 7) {
      return Emit(GraphicsFunction{offset_, false, At(5), At(6), View(7, length - 7)}, length);
    }
  }
  return Skip(length, full, true);
}

// GS 8 L p1 p2 p3 p4 m fn ...: graphics with a 32-bit length.
std::size_t EscPosParser::Step::GsEight(CommandId id) {
  if (Left() < 3) return More(0, id);
  if (At(2) != 'L') return Skip(2, id, false);
  const CommandId full = Id(kGs, '8', 'L');
  if (Left() < 7) return More(0, full);
  const std::uint64_t count = static_cast<std::uint64_t>(At(3)) | static_cast<std::uint64_t>(At(4)) << 8 |
                              static_cast<std::uint64_t>(At(5)) << 16 |
                              static_cast<std::uint64_t>(At(6)) << 24;
  const std::uint64_t length = 7 + count;
  std::size_t result = 0;
  if (!Whole(length, full, result)) return result;
  if (count < 2) return Skip(length, full, true);
  return Emit(GraphicsFunction{offset_, true, At(7), At(8), View(9, length - 9)},
              static_cast<std::size_t>(length));
}

// GS k m ...: one-dimensional bar code, m 0..6 ended by NUL, m 65.. with a length byte.
std::size_t EscPosParser::Step::GsK(CommandId id) {
  if (Left() < 3) return More(0, id);
  const unsigned char m = At(2);
  if (m <= 6) {
    for (std::size_t i = 3; i < Left() && i <= 3 + kMaxNulEndedBarcode; ++i) {
      if (At(i) == 0) return Emit(Barcode{offset_, m, View(3, i - 3)}, i + 1);
    }
    // No NUL within the longest data a printer takes: the command ends there and what
    // follows is read afresh.
    if (Left() > 3 + kMaxNulEndedBarcode) {
      return Emit(Barcode{offset_, m, View(3, kMaxNulEndedBarcode)}, 3 + kMaxNulEndedBarcode);
    }
    return More(0, id);
  }
  if (m >= 65 && m <= 79) {
    if (Left() < 4) return More(0, id);
    const std::size_t length = 4 + static_cast<std::size_t>(At(3));
    if (Left() < length) return More(length, id);
    return Emit(Barcode{offset_, m, View(4, length - 4)}, length);
  }
  return Skip(3, id, false);
}

}  // namespace qrticket::viewer
