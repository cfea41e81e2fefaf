// The text of a --text-file as the ticket takes it: the same on every platform.
#include "text_file.h"

namespace qrticket::cli {

std::string TicketTextFromFile(std::string_view utf8) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (utf8.substr(0, kByteOrderMark.size()) == kByteOrderMark)
    utf8.remove_prefix(kByteOrderMark.size());
  if (utf8.ends_with("\r\n")) utf8.remove_suffix(2);
  else if (utf8.ends_with('\n')) utf8.remove_suffix(1);
  std::string text;
  text.reserve(utf8.size() + utf8.size() / 8);
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\n' && (i == 0 || utf8[i - 1] != '\r')) text += '\r';
    text += utf8[i];
  }
  return text;
}

}  // namespace qrticket::cli
