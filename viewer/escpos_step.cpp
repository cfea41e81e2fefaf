// Parsing one command: control bytes, text, FS and DLE, and the rules every family shares
// for a command cut short, too long to hold, or skipped. Parameter counts follow the public
// ESC/POS command references; commands we do not draw are still measured so the bytes after
// them stay in step.
#include <array>
#include <cstdio>

#include "escpos_step.h"

namespace qrticket::viewer {
namespace {

constexpr std::array<int, 256> FsParameterCounts() {
  std::array<int, 256> t{};
  for (int& v : t) v = kUnknown;
  t['!'] = 1; t['&'] = 0; t['-'] = 1; t['.'] = 0; t['C'] = 1; t['S'] = 2; t['W'] = 1;
  t['p'] = 2;
  t['('] = kSpecial; t['2'] = kSpecial; t['q'] = kSpecial;
  return t;
}

constexpr auto kFsCounts = FsParameterCounts();

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

std::size_t EscPosParser::Step::Run() {
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

std::size_t EscPosParser::Step::Text() {
  std::size_t n = 0;
  while (n < Left() && At(n) >= 0x20 && At(n) != 0x7F) ++n;
  return Emit(TextRun{View(0, n)}, n);
}

std::size_t EscPosParser::Step::More(std::size_t length, CommandId id) {
  if (final_) {
    sink_.OnEvent(Event(Truncated{offset_, id}));
    return Left();
  }
  need = length;
  needing = id;
  return 0;
}

bool EscPosParser::Step::Whole(std::uint64_t length, CommandId id, std::size_t& result) {
  if (length > p_.maxCommandBytes_) {
    sink_.OnEvent(Event(Oversized{offset_, id, length}));
    result = DropRest(length, id);
    return false;
  }
  if (length <= Left()) return true;
  result = More(static_cast<std::size_t>(length), id);
  return false;
}

std::size_t EscPosParser::Step::DropRest(std::uint64_t length, CommandId id) {
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

std::size_t EscPosParser::Step::Skip(std::uint64_t length, CommandId id, bool known) {
  if (length > Left() && final_) return More(0, id);
  sink_.OnEvent(Event(Skipped{offset_, id, known}));
  return DropRest(length, id);
}

std::size_t EscPosParser::Step::Fs() {
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
std::size_t EscPosParser::Step::FsQ(CommandId id) {
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

std::size_t EscPosParser::Step::Dle() {
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

}  // namespace qrticket::viewer
