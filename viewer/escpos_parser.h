// The ESC/POS stream parser: bytes in, in pieces of any size, events out. Never fails: unknown
// commands become Skipped events and a command cut short by the end of the stream becomes
// Truncated. Memory stays bounded: only an incomplete command that must be drawn is held back,
// up to `maxCommandBytes`; a longer one is read and dropped (Oversized).
#pragma once

#include <cstdint>
#include <vector>

#include "devices/bytes.h"
#include "escpos_events.h"

namespace qrticket::viewer {

// The longest command held in memory: a raster image 576 dots wide and 65,535 rows tall is
// 4.7 MB, so every image that fits the paper fits here.
inline constexpr std::size_t kMaxCommandBytes = 8 * 1024 * 1024;

class EscPosParser {
 public:
  explicit EscPosParser(std::size_t maxCommandBytes = kMaxCommandBytes)
      : maxCommandBytes_(maxCommandBytes) {}

  // Parses what `chunk` completes; an incomplete command at its end waits for the next chunk.
  void Feed(BytesView chunk, EventSink& sink);
  // The stream has ended: a command still incomplete becomes Truncated.
  void Finish(EventSink& sink);

  // Bytes consumed so far, and the offset the next event will carry at the earliest.
  std::uint64_t offset() const { return offset_; }

 private:
  class Step;
  void Discard(BytesView& chunk);

  std::size_t maxCommandBytes_;
  std::uint64_t offset_ = 0;  // stream offset of pending_[0], or of the next byte
  Bytes pending_;             // an incomplete command's first bytes
  std::size_t pendingNeed_ = 0;  // the length it needs, when known
  std::uint64_t discard_ = 0;    // bytes of a skipped or oversized command still to drop
  std::size_t discardOffset_ = 0;
  CommandId discardCommand_;
};

// Parses a whole stream at once, for tests and small tools. Events point into `stream`.
std::vector<Event> ParseEscPos(BytesView stream);

}  // namespace qrticket::viewer
