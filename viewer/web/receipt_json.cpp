// JSON of the receipts, written by hand: a handful of fields, and the escaping is the part
// that matters (job text is hostile until proven otherwise).
#include "receipt_json.h"

#include <cstdint>
#include <cstdio>

namespace qrticket::viewer::web {
namespace {

// The length of the well-formed UTF-8 sequence at the start of `text` (shortest form, no
// surrogates, at most U+10FFFF), or 0 when it is not one.
std::size_t Utf8Length(std::string_view text, char32_t& code) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length;
  if (lead < 0x80) {
    code = lead;
    return 1;
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i) & 0x3F);
  }
  constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

void AppendEscape(std::string& out, char32_t code) {
  char escape[16];
  std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(code));
  out += escape;
}

}  // namespace

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  out.reserve(text.size() + 2);
  while (!text.empty()) {
    char32_t code = 0;
    const std::size_t length = Utf8Length(text, code);
    if (length == 0) {  // not UTF-8: one byte becomes the replacement character
      out += "\\ufffd";
      text.remove_prefix(1);
      continue;
    }
    switch (code) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        // Controls, the HTML-special letters, and the two line separators that end a line
        // in JavaScript.
        if (code < 0x20 || code == 0x7F || code == '<' || code == '>' || code == '&' ||
            code == '\'' || code == 0x2028 || code == 0x2029) {
          AppendEscape(out, code);
        } else {
          out.append(text.substr(0, length));
        }
    }
    text.remove_prefix(length);
  }
  out += '"';
  return out;
}

std::string UtcTimeText(std::chrono::system_clock::time_point time) {
  using namespace std::chrono;
  const auto milliseconds = floor<std::chrono::milliseconds>(time);
  const auto day = floor<days>(milliseconds);
  const year_month_day date{day};
  const hh_mm_ss clock{milliseconds - day};
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", int(date.year()),
                unsigned(date.month()), unsigned(date.day()), int(clock.hours().count()),
                int(clock.minutes().count()), int(clock.seconds().count()),
                int(clock.subseconds().count()));
  return text;
}

std::string PicturePath(int id) { return "/recibos/" + std::to_string(id) + ".png"; }
std::string RawBytesPath(int id) { return "/recibos/" + std::to_string(id) + ".bin"; }

std::string ReceiptJson(const Receipt& receipt) {
  std::string report;
  for (const auto& line : receipt.report) {
    if (!report.empty()) report += '\n';
    report += line;
  }
  std::string json = "{\"id\":" + std::to_string(receipt.id);
  json += ",\"time\":" + JsonString(UtcTimeText(receipt.time));
  json += ",\"sender\":" + JsonString(receipt.sender);
  json += ",\"bytes\":" + std::to_string(receipt.bytes);
  json += ",\"report\":" + JsonString(report);
  json += ",\"picture\":" + JsonString(PicturePath(receipt.id));
  json += ",\"raw\":" + (receipt.raw.empty() ? std::string("null") : JsonString(RawBytesPath(receipt.id)));
  json += '}';
  return json;
}

std::string ReceiptListJson(const std::vector<ReceiptPointer>& newestFirst) {
  std::string json = "[";
  for (const auto& receipt : newestFirst) {
    if (json.size() > 1) json += ',';
    json += ReceiptJson(*receipt);
  }
  json += ']';
  return json;
}

}  // namespace qrticket::viewer::web
