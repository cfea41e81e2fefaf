// Sorting the bytes a printer sends back into the answers we asked for. Answers may come in
// pieces, and unasked bytes may come between them: automatic status back (four bytes, enabled
// on the printer by GS a), XON and XOFF on serial lines, and late answers to earlier requests.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>

#include "devices/bytes.h"

namespace qrticket {

// What kind of answer is awaited. Every kind has fixed bits that tell it apart:
//   DLE EOT answer      0xx1 xx10
//   GS I 1-3 answer     0xx0 xxxx
//   GS I 65-69 answer   0x5F, text, 0x00
//   automatic status    0xx1 xx00, then three bytes 0xx0 xxxx
//   XON, XOFF           0x11, 0x13 (serial lines only)
enum class AnswerKind { StatusByte, IdentityByte, IdentityText };

class AnswerReader {
 public:
  // `flowControl`: the bytes come over a serial line, where XON and XOFF may stand anywhere,
  // even inside a text, and are no data. Elsewhere (a network connection, USB) they are data.
  explicit AnswerReader(bool flowControl = true) : flowControl_(flowControl) {}

  // Adds bytes as they were read.
  void Feed(BytesView bytes);

  // The first answer of `kind` among the bytes fed so far: the status or identity byte, or
  // the text of an identity block without its 0x5F and NUL. Bytes before it that belong to no
  // answer of that kind are dropped and counted as stray; automatic status blocks are counted
  // as such. nullopt while the answer has not (wholly) come.
  std::optional<Bytes> Take(AnswerKind kind);

  // The start of an identity text has come, and its NUL not yet (after Take found none).
  bool TextUnderway() const;

  // Everything fed so far belongs to no request: automatic status blocks are counted, the rest
  // (a stray byte, an answer sent twice, the rest of a text that came too late) is dropped and
  // counted as stray.
  void SetAside();

  // Bytes dropped so far that were neither answers, flow control nor automatic status: data
  // nobody asked for. The caller decides when such bytes are expected (stale input before the
  // first request, a late answer to a request given up) and forgets them then.
  std::size_t strayCount() const { return strayCount_; }
  void ForgetStray() { strayCount_ = 0; }

  // Automatic status blocks seen so far, and the last few of them (four bytes each): a printer
  // may stream them without end, so only kKeptUnasked are kept.
  std::size_t unaskedCount() const { return unaskedCount_; }
  const std::deque<Bytes>& lastUnasked() const { return lastUnasked_; }
  static constexpr std::size_t kKeptUnasked = 4;

  // An identity text longer than this without its NUL is not an answer (the references allow
  // up to 80 bytes).
  static constexpr std::size_t kMaxIdentityText = 80;

 private:
  // Consumes `byte` into a pending automatic status block; false when it cannot belong there
  // (the block is then given up, and the byte is looked at afresh).
  bool ContinueAutomaticStatus(unsigned char byte);
  bool IsFlowControl(unsigned char byte) const;

  bool flowControl_;
  Bytes pending_;
  Bytes automaticStatus_;  // a block still missing bytes
  std::size_t unaskedCount_ = 0;
  std::size_t strayCount_ = 0;
  std::deque<Bytes> lastUnasked_;
};

}  // namespace qrticket
