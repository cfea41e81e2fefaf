// One ESC/POS command parsed from a view of the stream, for EscPosParser. The commands are
// measured by families: escpos_step.cpp (control bytes, FS, DLE and the shared rules),
// escpos_step_esc.cpp (ESC) and escpos_step_gs.cpp (GS).
#pragma once

#include <cstdint>

#include "escpos_parser.h"

namespace qrticket::viewer {

inline constexpr unsigned char kEsc = 0x1B, kGs = 0x1D, kFs = 0x1C, kDle = 0x10;
inline constexpr int kUnknown = -1;  // not a command we know: skip the two bytes
inline constexpr int kSpecial = -2;  // parameter count depends on the parameters

inline CommandId Id(unsigned char lead, unsigned char code) { return {lead, code, 0, false}; }
inline CommandId Id(unsigned char lead, unsigned char code, unsigned char sub) {
  return {lead, code, sub, true};
}

// s[at..] holds the command's bytes (and maybe more). Run() returns the bytes it used, or 0
// when the view ends before the command does; then `need` is the command's full length when
// known (0 when not yet) and `needing` names it.
class EscPosParser::Step {
 public:
  Step(EscPosParser& parser, BytesView s, std::size_t at, std::uint64_t offset, bool final,
       EventSink& sink)
      : p_(parser), s_(s), at_(at), offset_(static_cast<std::size_t>(offset)), final_(final),
        sink_(sink) {}

  std::size_t Run();

  std::size_t need = 0;
  CommandId needing;

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

  std::size_t Text();
  // The view ends inside a command of `length` bytes (0: length not known yet).
  std::size_t More(std::size_t length, CommandId id);
  // A command we draw needs all `length` bytes at once; past the bound it is dropped, however
  // the stream was cut into pieces, so the same bytes always draw the same paper.
  bool Whole(std::uint64_t length, CommandId id, std::size_t& result);
  // Takes what is here of a command of `length` bytes and drops the rest as it arrives.
  std::size_t DropRest(std::uint64_t length, CommandId id);
  // A command that prints nothing here: noted, and its bytes skipped as they come.
  std::size_t Skip(std::uint64_t length, CommandId id, bool known);

  std::size_t Esc();
  std::size_t EscSpecial(unsigned char code, CommandId id);
  std::size_t Woosim(CommandId id);
  std::size_t Gs();
  std::size_t GsSpecial(unsigned char code, CommandId id);
  std::size_t GsParen(CommandId id);
  std::size_t GsEight(CommandId id);
  std::size_t GsK(CommandId id);
  std::size_t Fs();
  std::size_t FsQ(CommandId id);
  std::size_t Dle();

  EscPosParser& p_;
  BytesView s_;
  std::size_t at_;
  std::size_t offset_;
  bool final_;
  EventSink& sink_;
};

}  // namespace qrticket::viewer
