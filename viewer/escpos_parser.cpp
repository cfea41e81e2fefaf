// Splits an ESC/POS stream into events. Parameter counts follow the public ESC/POS command
// reference; commands we do not draw are still measured so the bytes after them stay in step.
#include "escpos_parser.h"

#include <array>
#include <cstdio>

namespace qrticket::viewer {
namespace {

constexpr unsigned char kEsc = 0x1B, kGs = 0x1D, kFs = 0x1C, kDle = 0x10;
constexpr int kUnknown = -1;   // not a command we know: skip the two bytes
constexpr int kSpecial = -2;   // parameter count depends on the parameters

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

constexpr std::array<int, 256> FsParameterCounts() {
  std::array<int, 256> t{};
  for (int& v : t) v = kUnknown;
  t['!'] = 1; t['&'] = 0; t['-'] = 1; t['.'] = 0; t['C'] = 1; t['S'] = 2; t['W'] = 1;
  t['p'] = 2;
  t['('] = kSpecial; t['2'] = kSpecial;
  return t;
}

constexpr auto kEscCounts = EscParameterCounts();
constexpr auto kGsCounts = GsParameterCounts();
constexpr auto kFsCounts = FsParameterCounts();

class Parser {
 public:
  explicit Parser(BytesView stream) : s_(stream) {}

  std::vector<Event> Run() {
    while (pos_ < s_.size()) Step();
    return std::move(events_);
  }

 private:
  unsigned char At(std::size_t i) const { return static_cast<unsigned char>(s_[i]); }
  std::size_t Left() const { return s_.size() - pos_; }
  int Word(std::size_t i) const { return At(i) | (At(i + 1) << 8); }

  void Step() {
    const unsigned char b = At(pos_);
    if (b >= 0x20 && b != 0x7F) return Text();
    switch (b) {
      case 0x0A: events_.push_back(LineFeed{}); ++pos_; return;
      case 0x09: events_.push_back(HorizontalTab{}); ++pos_; return;
      // CR: ignored, as thermal printers do with automatic line feed off (the default).
      case 0x0D: ++pos_; return;
      case kEsc: return Esc();
      case kGs: return Gs();
      case kFs: return Fs();
      case kDle: return Dle();
      default: Skip(1, CommandName("", b), b == 0x0C || b == 0x18); return;
    }
  }

  void Text() {
    const std::size_t start = pos_;
    while (pos_ < s_.size() && At(pos_) >= 0x20 && At(pos_) != 0x7F) ++pos_;
    events_.push_back(TextRun{s_.substr(start, pos_ - start)});
  }

  // Consumes `length` bytes as one skipped command, or the rest as a truncated one.
  void Skip(std::size_t length, std::string name, bool known) {
    if (length > Left()) return Truncate(std::move(name));
    // A run of the same skipped command (a stream of garbage, a block of NULs) is one event:
    // memory stays proportional to what the stream means, not to its length.
    auto* last = events_.empty() ? nullptr : std::get_if<Skipped>(&events_.back());
    if (last != nullptr && last->end == pos_ && last->known == known && last->command == name) {
      ++last->repeats;
    } else {
      events_.push_back(Skipped{pos_, std::move(name), known});
      last = &std::get<Skipped>(events_.back());
    }
    pos_ += length;
    last->end = pos_;
  }

  void Truncate(std::string name) {
    events_.push_back(Truncated{pos_, std::move(name)});
    pos_ = s_.size();
  }

  void Esc() {
    if (Left() < 2) return Truncate("ESC");
    const unsigned char code = At(pos_ + 1);
    const std::string name = CommandName("ESC", code);
    const int count = kEscCounts[code];
    if (count == kUnknown) return Skip(2, name, false);
    if (count == kSpecial) return EscSpecial(code, name);
    if (Left() < 2u + count) return Truncate(name);
    const unsigned char n = count > 0 ? At(pos_ + 2) : 0;
    const std::size_t at = pos_;
    pos_ += 2 + count;
    switch (code) {
      case 0x0C: events_.push_back(PageModeCommand{at, 'F'}); return;
      case 'L': events_.push_back(PageModeCommand{at, 'L'}); return;
      case 'S': events_.push_back(PageModeCommand{at, 'S'}); return;
      case '@': events_.push_back(Initialise{}); return;
      case '!': events_.push_back(PrintMode{n}); return;
      case '-': events_.push_back(Underline{n % 48 > 2 ? 0 : n % 48}); return;
      case '2': events_.push_back(LineSpacing{-1}); return;
      case '3': events_.push_back(LineSpacing{n}); return;
      case 'E': case 'G': events_.push_back(Emphasis{(n & 1) != 0}); return;
      case 'J': events_.push_back(FeedDots{n}); return;
      case 'M': events_.push_back(SelectFont{n & 1}); return;
      case 'a': events_.push_back(Justify{n}); return;
      case 'd': events_.push_back(FeedLines{n}); return;
      case 'i': case 'm': events_.push_back(Cut{at}); return;
      default: events_.push_back(Skipped{at, name, true}); return;
    }
  }

  void EscSpecial(unsigned char code, const std::string& name) {
    switch (code) {
      case '*': {  // ESC * m nL nH d1..dk: bit image, 1 or 3 bytes per column
        if (Left() < 5) return Truncate(name);
        const int m = At(pos_ + 2), columns = Word(pos_ + 3);
        if (m != 0 && m != 1 && m != 32 && m != 33) return Skip(3, name, false);
        return Skip(5 + static_cast<std::size_t>(columns) * (m >= 32 ? 3 : 1), name, true);
      }
      case 'D': {  // ESC D n1..nk NUL: tab stops, at most 32
        for (std::size_t i = pos_ + 2; i < s_.size() && i <= pos_ + 2 + 32; ++i) {
          if (At(i) == 0) return Skip(i + 1 - pos_, name, true);
        }
        return Left() > 2 + 32 ? Skip(2 + 32, name, true) : Truncate(name);
      }
      case '&': {  // ESC & y c1 c2 [x d1..d(y*x)]...: user-defined characters
        if (Left() < 5) return Truncate(name);
        const std::size_t y = At(pos_ + 2);
        const int c1 = At(pos_ + 3), c2 = At(pos_ + 4);
        std::size_t i = pos_ + 5;
        for (int c = c1; c <= c2; ++c) {
          if (i >= s_.size()) return Truncate(name);
          i += 1 + y * At(i);
        }
        return Skip(i - pos_, name, true);
      }
      case '(': {  // ESC ( fn pL pH ...
        if (Left() < 5) return Truncate(name);
        return Skip(5 + static_cast<std::size_t>(Word(pos_ + 3)),
                    "ESC ( " + CommandName("", At(pos_ + 2)), true);
      }
      case 'Z': return Woosim(name);
    }
  }

  // ESC Z m n k dL dH d1..dn. Public references count only the data in dL dH.
  void Woosim(const std::string& name) {
    if (Left() < 7) return Truncate(name);
    const std::size_t length = static_cast<std::size_t>(Word(pos_ + 5));
    if (Left() < 7 + length) return Truncate(name);
    WoosimQr qr{pos_, At(pos_ + 2), At(pos_ + 3), At(pos_ + 4), length,
                s_.substr(pos_ + 7, length)};
    pos_ += 7 + length;
    events_.push_back(qr);
  }

  void Gs() {
    if (Left() < 2) return Truncate("GS");
    const unsigned char code = At(pos_ + 1);
    const std::string name = CommandName("GS", code);
    const int count = kGsCounts[code];
    if (count == kUnknown) return Skip(2, name, false);
    if (count == kSpecial) return GsSpecial(code, name);
    if (Left() < 2u + count) return Truncate(name);
    if (code == '!') {
      const unsigned char n = At(pos_ + 2);
      events_.push_back(CharacterSize{((n >> 4) & 7) + 1, (n & 7) + 1});
      pos_ += 3;
      return;
    }
    Skip(2 + count, name, true);
  }

  void GsSpecial(unsigned char code, const std::string& name) {
    switch (code) {
      case '(': {  // GS ( fn pL pH ...: pL pH count the bytes after pH
        if (Left() < 5) return Truncate(name);
        const std::string full = "GS ( " + CommandName("", At(pos_ + 2));
        const std::size_t length = static_cast<std::size_t>(Word(pos_ + 3));
        if (Left() < 5 + length) return Truncate(full);
        if (At(pos_ + 2) == 'k' && length >= 2 && At(pos_ + 5) == 0x31) {
          events_.push_back(QrFunction{pos_, At(pos_ + 6), s_.substr(pos_ + 7, length - 2)});
          pos_ += 5 + length;
          return;
        }
        return Skip(5 + length, full, true);
      }
      case '8': {  // GS 8 L p1 p2 p3 p4 ...: graphics with a 32-bit length
        if (Left() < 3) return Truncate(name);
        if (At(pos_ + 2) != 'L') return Skip(2, name, false);
        if (Left() < 7) return Truncate("GS 8 L");
        const std::size_t length = static_cast<std::size_t>(At(pos_ + 3)) |
                                   static_cast<std::size_t>(At(pos_ + 4)) << 8 |
                                   static_cast<std::size_t>(At(pos_ + 5)) << 16 |
                                   static_cast<std::size_t>(At(pos_ + 6)) << 24;
        return Skip(7 + length, "GS 8 L", true);
      }
      case 'V': {  // GS V m [n]: cut; m 65, 66 (and 97.. on newer printers) take a feed n
        if (Left() < 3) return Truncate(name);
        const int m = At(pos_ + 2);
        std::size_t length = 0;
        if (m == 0 || m == 1 || m == 48 || m == 49) length = 3;
        else if (m == 65 || m == 66 || m == 97 || m == 98 || m == 103 || m == 104) length = 4;
        else return Skip(3, name, false);
        if (Left() < length) return Truncate(name);
        events_.push_back(Cut{pos_});
        pos_ += length;
        return;
      }
      case 'k': {  // GS k m ...: one-dimensional bar code
        if (Left() < 3) return Truncate(name);
        const int m = At(pos_ + 2);
        if (m <= 6) {  // data ends with NUL
          for (std::size_t i = pos_ + 3; i < s_.size(); ++i) {
            if (At(i) == 0) return Skip(i + 1 - pos_, name, true);
          }
          return Truncate(name);
        }
        if (m >= 65 && m <= 79) {
          if (Left() < 4) return Truncate(name);
          return Skip(4 + static_cast<std::size_t>(At(pos_ + 3)), name, true);
        }
        return Skip(3, name, false);
      }
      case 'v': {  // GS v 0 m xL xH yL yH d1..dk: raster bit image, k = x * y
        if (Left() < 3) return Truncate(name);
        if (At(pos_ + 2) != '0') return Skip(2, name, false);
        if (Left() < 8) return Truncate("GS v 0");
        const int widthBytes = Word(pos_ + 4), rows = Word(pos_ + 6);
        const std::size_t size = static_cast<std::size_t>(widthBytes) * rows;
        if (Left() < 8 + size) return Truncate("GS v 0");
        events_.push_back(RasterImage{pos_, At(pos_ + 3), widthBytes, rows, s_.substr(pos_ + 8, size)});
        pos_ += 8 + size;
        return;
      }
      case '*': {  // GS * x y d1..dk: downloaded bit image, k = x * y * 8
        if (Left() < 4) return Truncate(name);
        return Skip(4 + static_cast<std::size_t>(At(pos_ + 2)) * At(pos_ + 3) * 8, name, true);
      }
    }
  }

  void Fs() {
    if (Left() < 2) return Truncate("FS");
    const unsigned char code = At(pos_ + 1);
    const std::string name = CommandName("FS", code);
    const int count = kFsCounts[code];
    if (count == kUnknown) return Skip(2, name, false);
    if (code == '(') {
      if (Left() < 5) return Truncate(name);
      return Skip(5 + static_cast<std::size_t>(Word(pos_ + 3)),
                  "FS ( " + CommandName("", At(pos_ + 2)), true);
    }
    if (code == '2') return Skip(4 + 72, name, true);  // FS 2 c1 c2 + 72 bytes of pattern
    Skip(2 + count, name, true);
  }

  void Dle() {
    if (Left() < 2) return Truncate("DLE");
    const unsigned char code = At(pos_ + 1);
    const std::string name = CommandName("DLE", code);
    if (code == 0x04 || code == 0x05) return Skip(3, name, true);  // DLE EOT n, DLE ENQ n
    if (code == 0x14) return Skip(5, name, true);                  // DLE DC4 fn a b
    Skip(1, CommandName("", kDle), false);  // a lone DLE: the next byte is read afresh
  }

  BytesView s_;
  std::size_t pos_ = 0;
  std::vector<Event> events_;
};

}  // namespace

std::string CommandName(std::string_view prefix, unsigned char code) {
  static constexpr const char* kControlNames[32] = {
      "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT",  "LF",
      "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN",
      "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
  std::string name(prefix);
  if (!name.empty()) name += ' ';
  if (code < 32) {
    name += kControlNames[code];
  } else if (code < 0x7F) {
    name += static_cast<char>(code);
  } else {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", code);
    name += hex;
  }
  return name;
}

std::vector<Event> ParseEscPos(BytesView stream) { return Parser(stream).Run(); }

}  // namespace qrticket::viewer
