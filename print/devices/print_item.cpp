#include "devices/print_item.h"

#include <cstdlib>

namespace qrticket {

void PrintItem::AppendTo(Bytes& out) const {
  if (isText()) {
    out += text();
    return;
  }
  const int v = number();
  out += v < 0 ? '-' : ' ';
  out += std::to_string(std::abs(v));  // int, so -32768 has a magnitude
  out += ' ';
}

void AppendStatement(const PrintStatement& statement, Bytes& out) {
  for (const PrintItem& item : statement) item.AppendTo(out);
  out += kLineEnd;
}

Bytes FormatStatement(const PrintStatement& statement) {
  Bytes out;
  AppendStatement(statement, out);
  return out;
}

}  // namespace qrticket
