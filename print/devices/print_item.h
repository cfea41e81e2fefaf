// Print statements: items joined without separators, ended by CR LF.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "devices/bytes.h"

namespace qrticket {

// One item of a print statement: a text (bytes, any length, NUL included) or a signed 16-bit
// integer. Items follow one another with nothing between them; the line end comes only after
// the statement's last item.
//
// A flag beside both values rather than a std::variant: GCC 12's variant, when copying its
// string runs out of memory, destroys itself through an unreachable branch (undefined
// behaviour), and statements are copied from initialiser lists.
class PrintItem {
 public:
  PrintItem(Bytes text) : text_(std::move(text)) {}            // NOLINT: items read as literals
  PrintItem(const char* text) : text_(text) {}                 // NOLINT
  PrintItem(std::int16_t number) : isNumber_(true), number_(number) {}  // NOLINT

  bool isText() const { return !isNumber_; }
  const Bytes& text() const { return text_; }        // empty for a number
  std::int16_t number() const { return number_; }    // 0 for a text

  // Appends the item's bytes: a text as it is; an integer as a space or minus sign, its decimal
  // digits and one trailing space, the same in every locale.
  void AppendTo(Bytes& out) const;

 private:
  bool isNumber_ = false;
  Bytes text_;
  std::int16_t number_ = 0;
};

using PrintStatement = std::vector<PrintItem>;

inline constexpr BytesView kLineEnd = "\r\n";

// The bytes of a whole statement: its items back to back, then CR LF.
Bytes FormatStatement(const PrintStatement& statement);
void AppendStatement(const PrintStatement& statement, Bytes& out);

}  // namespace qrticket
