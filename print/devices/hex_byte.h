// A byte as the reports and the status lines show it: "0x1B".
#pragma once

#include <cstdio>
#include <string>

namespace qrticket {

// Two upper-case hex digits after "0x"; only the low eight bits of `value` count.
inline std::string HexByte(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", value & 0xFFu);
  return text;
}

}  // namespace qrticket
