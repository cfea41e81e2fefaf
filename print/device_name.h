// What a device name typed by the operator means on Linux.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qrticket {

struct DeviceTarget {
  enum class Kind {
    Path,            // a file or device node: `path`
    StandardOutput,  // "-"
    Tcp,             // a raw network printer: `host` and `port`
    Invalid,         // a "tcp://" name that cannot be read
  };
  Kind kind = Kind::Path;
  std::string path;
  std::string host;          // a name, an IPv4 address or an IPv6 address without brackets
  std::uint16_t port = 0;
  bool bracketed = false;    // the host was written in brackets: it must be an IPv6 address
};

// The port raw network printers listen on when the name gives none.
inline constexpr std::uint16_t kRawPrinterPort = 9100;

// "LPT1:" and "LPT2:" are /dev/lp0 and /dev/lp1; "COM1:" to "COM6:" are /dev/ttyS0 to
// /dev/ttyS5 (any case, colon optional). "-" is standard output. "tcp://HOST[:PORT]" (any case
// of "tcp") is a network printer: HOST a name, an IPv4 address or a bracketed IPv6 address,
// PORT 1 to 65535, 9100 when left out. Anything else is a path, taken exactly as typed (a
// leading space included).
DeviceTarget ResolveDeviceName(std::string_view name);

}  // namespace qrticket
