// Print statements: items joined without separators, ended by CR LF.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <variant>
#include <vector>

#include "bytes.h"

namespace qrticket {

// One item of a print statement: a text (bytes, any length, NUL included) or a signed 16-bit
// integer. Items follow one another with nothing between them; the line end comes only after
// the statement's last item.
class PrintItem {
 public:
  PrintItem(Bytes text) : value_(std::move(text)) {}           // NOLINT: items read as literals
  PrintItem(const char* text) : value_(Bytes(text)) {}         // NOLINT
  PrintItem(std::int16_t number) : value_(number) {}           // NOLINT

  bool isText() const { return std::holds_alternative<Bytes>(value_); }
  const Bytes& text() const { return std::get<Bytes>(value_); }
  std::int16_t number() const { return std::get<std::int16_t>(value_); }

  // Appends the item's bytes: a text as it is; an integer as a space or minus sign, its decimal
  // digits and one trailing space, the same in every locale.
  void AppendTo(Bytes& out) const;

 private:
  std::variant<Bytes, std::int16_t> value_;
};

using PrintStatement = std::vector<PrintItem>;

inline constexpr BytesView kLineEnd = "\r\n";

// The bytes of a whole statement: its items back to back, then CR LF.
Bytes FormatStatement(const PrintStatement& statement);
void AppendStatement(const PrintStatement& statement, Bytes& out);

}  // namespace qrticket
