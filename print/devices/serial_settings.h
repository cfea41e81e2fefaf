// Serial line settings as technicians write them after a port name, MODE's form:
// "19200,n,8,1" or "9600,e,7,1,x" (speed, parity, data bits, stop bits, flow control).
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qrticket {

struct SerialSettings {
  enum class Parity { None, Even, Odd, Mark, Space };
  enum class StopBits { One, OnePointFive, Two };
  enum class Flow {
    None,
    XonXoff,   // x
    RtsCts,    // r
    DtrDsr,    // d
    Hardware,  // p: RTS/CTS and DTR/DSR, as MODE's hardware handshake
  };
  std::uint32_t speed = 9600;
  Parity parity = Parity::None;
  int dataBits = 8;
  StopBits stopBits = StopBits::One;
  Flow flow = Flow::None;

  bool operator==(const SerialSettings&) const = default;
  bool watchesDsr() const { return flow == Flow::DtrDsr || flow == Flow::Hardware; }
  bool usesRtsCts() const { return flow == Flow::RtsCts || flow == Flow::Hardware; }
};

// The slowest and fastest speeds taken as written; the port itself may take fewer.
inline constexpr std::uint32_t kLowestSerialSpeed = 50;
inline constexpr std::uint32_t kHighestSerialSpeed = 12000000;

// The field a malformed text got wrong; failures::SerialFieldText says it in words.
enum class SerialField { Speed, Parity, DataBits, StopBits, Flow, Extra };

struct SerialSettingsParse {
  std::optional<SerialSettings> settings;  // nullopt when a field is wrong:
  SerialField field = SerialField::Speed;  // which one,
  std::string value;                       // and what was written there
};

// "SPEED[,PARITY[,DATA[,STOP[,FLOW]]]]": PARITY n e o m s, DATA 5 to 8, STOP 1, 1.5 or 2, FLOW
// n x r d p, letters in either case, spaces around a field ignored; a field left out or empty
// keeps its default (n, 8, 1, n).
SerialSettingsParse ParseSerialSettings(std::string_view text);

// The settings in the same form, ready to follow a port name: "19200,n,8,1", with the flow
// letter only when there is flow control ("9600,n,8,1,r").
std::string SerialSettingsText(const SerialSettings& settings);

// Whether two ends at these speeds understand each other: within 2 % (a UART samples each bit
// in its middle, and a frame of ten bits allows about that much each side).
bool SpeedsMatch(std::uint32_t a, std::uint32_t b);

// Bits on the line per byte: start, data, parity and stop bits (1.5 counts as 2).
int FrameBits(const SerialSettings& settings);

// How long the line takes to carry `bytes` at these settings, rounded up.
std::chrono::milliseconds LineTime(std::uint64_t bytes, const SerialSettings& settings);

// How long after the first write the line's settings must stay for `written` bytes to have
// left: their line time, and a FIFO's more, at least 100 ms. A UART's own FIFO (16 bytes on a
// 16550A, up to 128 on USB adapters) is left out of the output queue count, and a
// pseudo-terminal shows no queue at all, while its reader judges the settings as the bytes
// arrive.
std::chrono::milliseconds LineHold(std::uint64_t written, const SerialSettings& settings);

}  // namespace qrticket
