// Splits an ESC/POS stream into events, chunk by chunk. Parameter counts follow the public
// ESC/POS command references; commands we do not draw are still measured so the bytes after
// them stay in step.
#include "escpos_parser.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace qrticket::viewer {
namespace {

constexpr unsigned char kEsc = 0x1B, kGs = 0x1D, kFs = 0x1C, kDle = 0x10;
constexpr int kUnknown = -1;  // not a command we know: skip the two bytes
constexpr int kSpecial = -2;  // parameter count depends on the parameters

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
  t['('] = kSpecial; t['2'] = kSpecial; t['q'] = kSpecial;
  return t;
}

constexpr auto kEscCounts = EscParameterCounts();
constexpr auto kGsCounts = GsParameterCounts();
constexpr auto kFsCounts = FsParameterCounts();

// The longest data of a GS k bar code ended by NUL: printers stop reading at 255 bytes.
constexpr std::size_t kMaxNulEndedBarcode = 255;

CommandId Id(unsigned char lead, unsigned char code) { return {lead, code, 0, false}; }
CommandId Id(unsigned char lead, unsigned char code, unsigned char sub) {
  return {lead, code, sub, true};
}

}  // namespace

std::string CommandId::Name() const {
  static constexpr const char* kControlNames[32] = {
      "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT",  "LF",
      "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN",
      "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
  const auto append = [](std::string& name, unsigned char byte) {
    if (!name.empty()) name += ' ';
    if (byte < 32) {
      name += kControlNames[byte];
    } else if (byte < 0x7F) {
      name += static_cast<char>(byte);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "0x%02X", byte);
      name += hex;
    }
  };
  std::string name;
  if (lead != 0) append(name, lead);
  append(name, code);
  // "GS ( k", "GS 8 L", "GS v 0": the third byte is part of the name.
  if (hasSub) append(name, sub);
  return name;
}

// One command parsed from a view: s[at..] holds its bytes (and maybe more). Returns the bytes
// it used, or 0 when the view ends before the command does; then `need` is the command's full
// length when known (0 when not yet).
class EscPosParser::Step {
 public:
  Step(EscPosParser& parser, BytesView s, std::size_t at, std::uint64_t offset, bool final,
       EventSink& sink)
      : p_(parser), s_(s), at_(at), offset_(static_cast<std::size_t>(offset)), final_(final),
        sink_(sink) {}

  std::size_t Run() {
    const unsigned char b = At(0);
    if (b >= 0x20 && b != 0x7F) return Text();
    switch (b) {
      case 0x0A: return Emit(LineFeed{}, 1);
      case 0x09: return Emit(HorizontalTab{}, 1);
      // CR: ignored, as thermal printers do with automatic line feed off (the default).
      case 0x0D: return 1;
      case kEsc: return Esc();
      case kGs: return Gs();
      case kFs: return Fs();
      case kDle: return Dle();
      default: return Skip(1, Id(0, b), b == 0x0C || b == 0x18);
    }
  }

  std::size_t need = 0;
  CommandId needing;  // the command that needs more

 private:
  unsigned char At(std::size_t i) const { return static_cast<unsigned char>(s_[at_ + i]); }
  std::size_t Left() const { return s_.size() - at_; }
  int Word(std::size_t i) const { return At(i) | (At(i + 1) << 8); }
  BytesView View(std::size_t from, std::size_t length) const {
    return s_.substr(at_ + from, length);
  }

  template <typename E>
  std::size_t Emit(const E& event, std::size_t length) {
    sink_.OnEvent(Event(event));
    return length;
  }

  std::size_t Text() {
    std::size_t n = 0;
    while (n < Left() && At(n) >= 0x20 && At(n) != 0x7F) ++n;
    return Emit(TextRun{View(0, n)}, n);
  }

  // The view ends inside a command of `length` bytes (0: length not known yet).
  std::size_t More(std::size_t length, CommandId id) {
    if (final_) {
      sink_.OnEvent(Event(Truncated{offset_, id}));
      return Left();
    }
    need = length;
    needing = id;
    return 0;
  }

  // A command we draw needs all `length` bytes at once; past the bound it is dropped, however
  // the stream was cut into pieces, so the same bytes always draw the same paper.
  bool Whole(std::uint64_t length, CommandId id, std::size_t& result) {
    if (length > p_.maxCommandBytes_) {
      sink_.OnEvent(Event(Oversized{offset_, id, length}));
      result = DropRest(length, id);
      return false;
    }
    if (length <= Left()) return true;
    result = More(static_cast<std::size_t>(length), id);
    return false;
  }

  // Takes what is here of a command of `length` bytes and drops the rest as it arrives.
  std::size_t DropRest(std::uint64_t length, CommandId id) {
    if (length <= Left()) return static_cast<std::size_t>(length);
    if (final_) {
      sink_.OnEvent(Event(Truncated{offset_, id}));
    } else {
      p_.discard_ = length - Left();
      p_.discardOffset_ = offset_;
      p_.discardCommand_ = id;
    }
    return Left();
  }

  // A command that prints nothing here: noted, and its bytes skipped as they come.
  std::size_t Skip(std::uint64_t length, CommandId id, bool known) {
    if (length > Left() && final_) return More(0, id);
    sink_.OnEvent(Event(Skipped{offset_, id, known}));
    return DropRest(length, id);
  }

  std::size_t Esc() {
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

  std::size_t EscSpecial(unsigned char code, CommandId id) {
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
  std::size_t Woosim(CommandId id) {
    if (Left() < 7) return More(0, id);
    const std::size_t dataLength = static_cast<std::size_t>(Word(5));
    const std::size_t length = 7 + dataLength;
    if (Left() < length) return More(length, id);
    return Emit(WoosimQr{offset_, At(2), At(3), At(4), dataLength, View(7, dataLength)}, length);
  }

  std::size_t Gs() {
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

  std::size_t GsSpecial(unsigned char code, CommandId id) {
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
  std::size_t GsParen(CommandId id) {
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
  std::size_t GsEight(CommandId id) {
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
  std::size_t GsK(CommandId id) {
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

  std::size_t Fs() {
    if (Left() < 2) return More(0, Id(0, kFs));
    const unsigned char code = At(1);
    const CommandId id = Id(kFs, code);
    const int count = kFsCounts[code];
    if (count == kUnknown) return Skip(2, id, false);
    switch (code) {
      case '(':
        if (Left() < 5) return More(0, id);
        return Skip(5 + static_cast<std::size_t>(Word(3)), Id(kFs, '(', At(2)), true);
      case '2': return Skip(4 + 72, id, true);  // FS 2 c1 c2 + 72 bytes of pattern
      case 'q': return FsQ(id);
      case '&': return Emit(KanjiMode{offset_, true}, 2);
      case '.': return Emit(KanjiMode{offset_, false}, 2);
    }
    return Skip(2 + static_cast<std::size_t>(count), id, true);
  }

  // FS q n [xL xH yL yH d1..dk]1..n: defines NV bit images, k = x * y * 8 bytes each. Each
  // image's size is only known once its header arrives; past the bound the rest is dropped.
  std::size_t FsQ(CommandId id) {
    if (Left() < 3) return More(0, id);
    std::uint64_t i = 3;
    for (int image = 0; image < At(2); ++image) {
      if (i + 4 > Left()) {
        if (i > p_.maxCommandBytes_) {
          sink_.OnEvent(Event(Oversized{offset_, id, i}));
          return DropRest(i, id);
        }
        return More(0, id);
      }
      const std::size_t at = static_cast<std::size_t>(i);
      i += 4 + static_cast<std::uint64_t>(Word(at)) * Word(at + 2) * 8;
    }
    return Skip(i, id, true);
  }

  std::size_t Dle() {
    if (Left() < 2) return More(0, Id(0, kDle));
    const unsigned char code = At(1);
    const CommandId id = Id(kDle, code);
    if (code == 0x04 || code == 0x05) return Skip(3, id, true);  // DLE EOT n, DLE ENQ n
    if (code == 0x14) {  // DLE DC4 fn ...: the length depends on fn
      if (Left() < 3) return More(0, id);
      const unsigned char fn = At(2);
      return Skip(fn == 7 ? 4 : fn == 8 ? 10 : 5, id, true);
    }
    return Skip(1, Id(0, kDle), false);  // a lone DLE: the next byte is read afresh
  }

  EscPosParser& p_;
  BytesView s_;
  std::size_t at_;
  std::size_t offset_;
  bool final_;
  EventSink& sink_;
};

void EscPosParser::Discard(BytesView& chunk) {
  const std::size_t dropped =
      static_cast<std::size_t>(std::min<std::uint64_t>(discard_, chunk.size()));
  discard_ -= dropped;
  offset_ += dropped;
  chunk.remove_prefix(dropped);
}

void EscPosParser::Feed(BytesView chunk, EventSink& sink) {
  // A command left incomplete by the last chunk: top it up from this one. Bytes taken beyond
  // what it needed go back to the chunk, where they came from.
  while (!pending_.empty() && !chunk.empty()) {
    const std::size_t want = pendingNeed_ > pending_.size() ? pendingNeed_ - pending_.size() : 16;
    const std::size_t take = std::min(want, chunk.size());
    pending_.append(chunk.substr(0, take));
    chunk.remove_prefix(take);
    if (pendingNeed_ > pending_.size()) return;  // the chunk is used up
    Step step(*this, pending_, 0, offset_, false, sink);
    const std::size_t used = step.Run();
    if (used == 0) {
      pendingNeed_ = step.need;
      // Whatever the command, no more than the bound is held: the rest of it is dropped.
      if (pendingNeed_ == 0 && pending_.size() > maxCommandBytes_) {
        sink.OnEvent(Event(Oversized{static_cast<std::size_t>(offset_), step.needing,
                                     pending_.size()}));
        offset_ += pending_.size();
        pending_.clear();
      }
      continue;
    }
    const std::size_t extra = pending_.size() - used;
    chunk = BytesView(chunk.data() - extra, chunk.size() + extra);
    offset_ += used;
    pending_.clear();
    pendingNeed_ = 0;
  }
  std::size_t pos = 0;
  while (pos < chunk.size()) {
    if (discard_ > 0) {
      BytesView rest = chunk.substr(pos);
      Discard(rest);
      pos = chunk.size() - rest.size();
      continue;
    }
    Step step(*this, chunk, pos, offset_, false, sink);
    const std::size_t used = step.Run();
    if (used == 0) {
      pending_.assign(chunk.substr(pos));
      pendingNeed_ = step.need;
      return;
    }
    pos += used;
    offset_ += used;
  }
}

void EscPosParser::Finish(EventSink& sink) {
  if (discard_ > 0) {
    sink.OnEvent(Event(Truncated{discardOffset_, discardCommand_}));
    offset_ += discard_;
    discard_ = 0;
  }
  std::size_t pos = 0;
  while (pos < pending_.size()) {
    Step step(*this, pending_, pos, offset_, true, sink);
    const std::size_t used = step.Run();
    pos += used;
    offset_ += used;
  }
  pending_.clear();
  pendingNeed_ = 0;
}

std::vector<Event> ParseEscPos(BytesView stream) {
  struct Collector : EventSink {
    std::vector<Event> events;
    void OnEvent(const Event& e) override { events.push_back(e); }
  } collector;
  EscPosParser parser;
  parser.Feed(stream, collector);
  parser.Finish(collector);
  return std::move(collector.events);
}

}  // namespace qrticket::viewer
