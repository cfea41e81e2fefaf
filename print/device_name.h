// What a device name typed by the operator means on Linux.
#pragma once

#include <string>
#include <string_view>

namespace qrticket {

struct DeviceTarget {
  enum class Kind { Path, StandardOutput };
  Kind kind = Kind::Path;
  std::string path;  // for Kind::Path: what is opened
};

// "LPT1:" and "LPT2:" are /dev/lp0 and /dev/lp1; "COM1:" to "COM6:" are /dev/ttyS0 to
// /dev/ttyS5 (any case, colon optional). "-" is standard output. Anything else is a path,
// taken exactly as typed (a leading space included).
DeviceTarget ResolveDeviceName(std::string_view name);

}  // namespace qrticket
