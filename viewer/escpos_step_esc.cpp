// Parsing ESC commands: which take how many parameter bytes, and the events they make.
#include <array>

#include "escpos_step.h"

namespace qrticket::viewer {
namespace {

// Parameter bytes after ESC x for commands with a fixed count.
constexpr std::array<int, 256> EscParameterCounts() {
  std::array<int, 256> t{};
  for (int& v : t) v = kUnknown;
  t[0x0C] = 0;                                  // ESC FF: print in page mode
  t[' '] = 1; t['!'] = 1; t['$'] = 2; t['%'] = 1; t['-'] = 1; t['2'] = 0; t['3'] = 1;
  t['<'] = 0; t['='] = 1; t['?'] = 1; t['@'] = 0; t['E'] = 1; t['G'] = 1; t['J'] = 1;
  t['K'] = 1; t['L'] = 0; t['M'] = 1; t['R'] = 1; t['S'] = 0; t['T'] = 1; t['U'] = 1;
  t['V'] = 1; t['W'] = 8; t['\\'] = 2; t['a'] = 1; t['c'] = 2; t['d'] = 1; t['e'] = 1;
  t['i'] = 0; t['m'] = 0; t['p'] = 3; t['r'] = 1; t['t'] = 1; t['u'] = 1; t['v'] = 0;
  t['{'] = 1;
  t['*'] = kSpecial; t['D'] = kSpecial; t['&'] = kSpecial; t['Z'] = kSpecial; t['('] = kSpecial;
  return t;
}

constexpr auto kEscCounts = EscParameterCounts();

}  // namespace

std::size_t EscPosParser::Step::Esc() {
  if (Left() < 2) return More(0, Id(0, kEsc));
  const unsigned char code = At(1);
  const CommandId id = Id(kEsc, code);
  const int count = kEscCounts[code];
  if (count == kUnknown) return Skip(2, id, false);
  if (count == kSpecial) return EscSpecial(code, id);
  const std::size_t length = 2 + static_cast<std::size_t>(count);
  if (Left() < length) return More(length, id);
  const unsigned char n = count > 0 ? At(2) : 0;
  switch (code) {
    case 0x0C: return Emit(PageModeCommand{offset_, 'F'}, length);
    case 'L': return Emit(PageModeCommand{offset_, 'L'}, length);
    case 'S': return Emit(PageModeCommand{offset_, 'S'}, length);
    case '@': return Emit(Initialise{}, length);
    case '!': return Emit(PrintMode{n}, length);
    case '-': return Emit(Underline{n % 48 > 2 ? 0 : n % 48}, length);
    case '2': return Emit(LineSpacing{-1}, length);
    case '3': return Emit(LineSpacing{n}, length);
    case 'E': case 'G': return Emit(Emphasis{(n & 1) != 0}, length);
    case 'J': return Emit(FeedDots{n}, length);
    case 'M': return Emit(SelectFont{n & 1}, length);
    case 'a': return Emit(Justify{n}, length);
    case 'd': return Emit(FeedLines{n}, length);
    case 'i': case 'm': return Emit(Cut{offset_}, length);
    case ' ': return Emit(CharacterSpacing{n}, length);
    case '$': return Emit(AbsolutePosition{offset_, Word(2)}, length);
    case '\\': return Emit(RelativePosition{offset_, static_cast<std::int16_t>(Word(2))}, length);
    case 't': return Emit(CodeTable{offset_, n}, length);
    case '{': return Emit(UpsideDown{(n & 1) != 0}, length);
    default: return Skip(length, id, true);
  }
}

std::size_t EscPosParser::Step::EscSpecial(unsigned char code, CommandId id) {
  switch (code) {
    case '*': {  // ESC * m nL nH d1..dk: bit image, 1 or 3 bytes per column
      if (Left() < 5) return More(0, id);
      const int m = At(2), columns = Word(3);
      if (m != 0 && m != 1 && m != 32 && m != 33) return Skip(3, id, false);
      const std::size_t length = 5 + static_cast<std::size_t>(columns) * (m >= 32 ? 3 : 1);
      std::size_t result = 0;
      if (!Whole(length, id, result)) return result;
      return Emit(ColumnImage{offset_, static_cast<std::uint8_t>(m), columns,
                              View(5, length - 5)},
                  length);
    }
    case 'D': {  // ESC D n1..nk NUL: tab stops, at most 32
      for (std::size_t i = 2; i < Left() && i <= 2 + 32; ++i) {
        if (At(i) == 0) return Emit(TabStops{View(2, i - 2)}, i + 1);
      }
      if (Left() > 2 + 32) return Emit(TabStops{View(2, 32)}, 2 + 32);
      return More(0, id);
    }
    case '&': {  // ESC & y c1 c2 [x d1..d(y*x)]...: user-defined characters
      if (Left() < 5) return More(0, id);
      const std::size_t y = At(2);
      const int c1 = At(3), c2 = At(4);
      std::size_t i = 5;
      for (int c = c1; c <= c2; ++c) {
        if (i >= Left()) return More(0, id);
        i += 1 + y * At(i);
      }
      return Skip(i, id, true);
    }
    case '(': {  // ESC ( fn pL pH ...
      if (Left() < 5) return More(0, id);
      return Skip(5 + static_cast<std::size_t>(Word(3)), Id(kEsc, '(', At(2)), true);
    }
    case 'Z': return Woosim(id);
  }
  return Skip(2, id, false);
}

// ESC Z m n k dL dH d1..dn. Public references count only the data in dL dH.
std::size_t EscPosParser::Step::Woosim(CommandId id) {
  if (Left() < 7) return More(0, id);
  const std::size_t dataLength = static_cast<std::size_t>(Word(5));
  const std::size_t length = 7 + dataLength;
  if (Left() < length) return More(length, id);
  return Emit(WoosimQr{offset_, At(2), At(3), At(4), dataLength, View(7, dataLength)}, length);
}

}  // namespace qrticket::viewer
