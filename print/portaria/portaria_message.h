// The invoice QR code's text read into its fields: "code:value" pieces joined by "*".
#pragma once

#include <string_view>
#include <vector>

namespace qrticket::portaria {

struct MessageField {
  std::string_view code;   // without the spaces around it
  std::string_view value;  // without the spaces around it (inner spaces kept: "FS CDVF/12345")
  bool hasColon = true;    // false: a piece with no ":" (code and value are empty)
  std::string_view piece;  // the piece as written
  bool spaced = false;     // a space stood beside ":" or "*"
};

// Every piece between "*", in order; an empty text gives one empty piece. Views into `text`.
std::vector<MessageField> SplitMessage(std::string_view text);

}  // namespace qrticket::portaria
