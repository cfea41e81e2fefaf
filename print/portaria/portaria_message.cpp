// Splitting the invoice QR code's text at "*" and each piece at its first ":".
#include "portaria/portaria_message.h"

namespace qrticket::portaria {
namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

MessageField ReadPiece(std::string_view piece) {
  MessageField field;
  field.piece = piece;
  const auto colon = piece.find(':');
  if (colon == std::string_view::npos) {
    field.hasColon = false;
    return field;
  }
  const std::string_view code = piece.substr(0, colon);
  const std::string_view value = piece.substr(colon + 1);
  field.code = Trimmed(code);
  field.value = Trimmed(value);
  field.spaced = field.code.size() != code.size() || field.value.size() != value.size();
  return field;
}

}  // namespace

std::vector<MessageField> SplitMessage(std::string_view text) {
  std::vector<MessageField> fields;
  std::size_t from = 0;
  for (;;) {
    const auto star = text.find('*', from);
    fields.push_back(ReadPiece(text.substr(from, star == std::string_view::npos ? star : star - from)));
    if (star == std::string_view::npos) return fields;
    from = star + 1;
  }
}

}  // namespace qrticket::portaria
