// Sorting the bytes a printer sends back into the answers we asked for. Answers may come in
// pieces, and unasked bytes may come between them: automatic status back (four bytes, enabled
// on the printer by GS a), XON and XOFF on serial lines, and late answers to earlier requests.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "devices/bytes.h"

namespace qrticket {

// What kind of answer is awaited. Every kind has fixed bits that tell it apart:
//   DLE EOT answer      0xx1 xx10
//   GS I 1-3 answer     0xx0 xxxx
//   GS I 65-69 answer   0x5F, text, 0x00
//   automatic status    0xx1 xx00, then three bytes 0xx0 xxxx
//   XON, XOFF           0x11, 0x13
enum class AnswerKind { StatusByte, IdentityByte, IdentityText };

class AnswerReader {
 public:
  // Adds bytes as they were read.
  void Feed(BytesView bytes);

  // The first answer of `kind` among the bytes fed so far: the status or identity byte, or
  // the text of an identity block without its 0x5F and NUL. Bytes before it that belong to no
  // answer of that kind are dropped; automatic status blocks are kept in unasked(). nullopt
  // while the answer has not (wholly) come.
  std::optional<Bytes> Take(AnswerKind kind);

  // Automatic status blocks seen so far, four bytes each.
  const std::vector<Bytes>& unasked() const { return unasked_; }

  // An identity text longer than this without its NUL is not an answer (the references allow
  // up to 80 bytes).
  static constexpr std::size_t kMaxIdentityText = 80;

 private:
  // Consumes `byte` into a pending automatic status block; false when it cannot belong there
  // (the block is then given up, and the byte is looked at afresh).
  bool ContinueAutomaticStatus(unsigned char byte);

  Bytes pending_;
  Bytes automaticStatus_;  // a block still missing bytes
  std::vector<Bytes> unasked_;
};

}  // namespace qrticket
