// What a device name typed by the operator means on Linux.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "devices/serial_settings.h"

namespace qrticket {

struct DeviceTarget {
  enum class Kind {
    Path,            // a file or device node: `path`
    StandardOutput,  // "-"
    Tcp,             // a raw network printer: `host` and `port`
    Invalid,         // a "tcp://" or "cups:" name that cannot be read, or bad serial
                     // settings (`why` says which field)
    Port,            // "COMn:" or "LPTn:": `portName`, and `path` when the number is in range
    Cups,            // a CUPS queue: `queue`, empty for the default destination
  };
  Kind kind = Kind::Path;
  std::string path;
  std::string host;          // a name, an IPv4 address or an IPv6 address without brackets
  std::uint16_t port = 0;
  bool bracketed = false;    // the host was written in brackets: it must be an IPv6 address
  std::string portName;      // the port name as typed, without the spaces around it
  std::string queue;
  // Settings the operator gave after a serial device ("COM3:19200,n,8,1"): the job sets them
  // and puts the port's own back afterwards. None: the port keeps what the system set.
  std::optional<SerialSettings> serial;
  std::string why;  // for Invalid: what is wrong, when more can be said than a bad name
};

// The port raw network printers listen on when the name gives none.
inline constexpr std::uint16_t kRawPrinterPort = 9100;

// The highest port numbers: COM1: to COM256: are /dev/ttyS0 to /dev/ttyS255, LPT1: to LPT3:
// are /dev/lp0 to /dev/lp2.
inline constexpr int kLastSerialPort = 256;
inline constexpr int kLastParallelPort = 3;

// "COMn:" and "LPTn:" (any case, colon optional, spaces around ignored) are ports; a name of
// that shape with a number out of range (COM0, COM257, LPT4, COM01) is still a port, without a
// path, so it can never become a file. "-" is standard output. "tcp://HOST[:PORT]" (any case
// of "tcp") is a network printer: HOST a name, an IPv4 address or a bracketed IPv6 address,
// PORT 1 to 65535, 9100 when left out. "cups:QUEUE" (any case of "cups", spaces around
// ignored) is a CUPS queue, "cups:" the default destination. A serial device followed by a
// colon and settings ("COM3:19200,n,8,1", "/dev/ttyUSB0:9600") is that device with those
// settings (see ParseSerialSettings); malformed settings make the name Invalid, naming the
// field. A serial device is a COM port or a path NamesSerialTty takes; after any other text
// the colon is part of the name ("notas:9600" is a file), and so it is after a path that
// exists as written. "LPTn:" followed by settings is Invalid: settings need a serial port.
// Anything else is a path, taken exactly as typed (a leading space included).
DeviceTarget ResolveDeviceName(std::string_view name);

// Whether `target` is a serial device that settings may follow: a COM port, or a path that
// NamesSerialTty takes.
bool IsSerialDevice(const DeviceTarget& target);

// `name` (a serial port or tty, without settings) followed by `settings`, ready to be typed:
// "COM3:19200,n,8,1" for "COM3", "COM3:" or " com3: " as typed ("com3:..." keeps its case),
// "/dev/ttyUSB0:9600,n,8,1" for a path.
std::string NameWithSettings(std::string_view name, const SerialSettings& settings);

// Whether `path` names a serial device that may carry settings after a colon. Linux: the tty
// nodes under /dev (/dev/ttyS0, /dev/ttyUSB0, /dev/ttyACM0, /dev/rfcomm0, /dev/serial/by-id/...,
// pseudo-terminals under /dev/pts/). Windows: "\\.\COMn". One file per platform.
bool NamesSerialTty(std::string_view path);

// The port name a device file answers to, "COM3:" for /dev/ttyS2 and "LPT1:" for /dev/lp0;
// empty for anything else.
std::string PortNameOf(std::string_view path);

}  // namespace qrticket
