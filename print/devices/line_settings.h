// A tty's settings as the Linux kernel's termios2 holds them: the flags and, unlike the C
// library's termios, both speeds as plain numbers, so that any rate a driver takes (250000,
// 1000000) can be set and read back. Declared without <termios.h>, whose struct termios is not
// the kernel's: line_ioctl.cpp, which talks to the kernel, cannot include both.
#pragma once

#include <cstdint>

namespace qrticket {

struct LineSettings {
  std::uint32_t iflag = 0;
  std::uint32_t oflag = 0;
  std::uint32_t cflag = 0;
  std::uint32_t lflag = 0;
  std::uint8_t line = 0;
  std::uint8_t cc[19] = {};
  std::uint32_t ispeed = 0;
  std::uint32_t ospeed = 0;

  bool operator==(const LineSettings&) const = default;
};

// c_cflag bits the C library leaves out: the speed is in ispeed/ospeed (BOTHER), and the
// input speed field (CIBAUD).
inline constexpr std::uint32_t kLineSpeedMask = 0010017;        // CBAUD
inline constexpr std::uint32_t kLineSpeedAsNumber = 0010000;    // BOTHER
inline constexpr std::uint32_t kLineInputSpeedMask = 002003600000;  // CIBAUD

// TCGETS2 and TCSETS2 (TCSETSW2 with `afterOutput`: once what is queued has left). Each
// returns what ioctl(2) returns and leaves errno as it set it.
int GetLineSettings(int fd, LineSettings* line);
int SetLineSettings(int fd, bool afterOutput, const LineSettings* line);

}  // namespace qrticket
