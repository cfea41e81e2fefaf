#include "devices/char_from_code.h"

#include "devices/device_failures.h"

namespace qrticket {

Bytes CharFromCode(int code) {
  if (code < 0 || code > 255) throw failures::ByteOutOfRange(code);
  return Bytes(1, static_cast<char>(code));
}

}  // namespace qrticket
