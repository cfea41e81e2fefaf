// termios2 through ioctl(2): the kernel's own structure, which <termios.h> would hide.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cstring>

#include "devices/line_settings.h"

namespace qrticket {
namespace {

static_assert(sizeof(termios2{}.c_cc) == sizeof(LineSettings{}.cc));
static_assert(kLineSpeedMask == CBAUD && kLineSpeedAsNumber == BOTHER &&
              kLineInputSpeedMask == CIBAUD);

void FromKernel(const termios2& k, LineSettings& line) {
  line.iflag = k.c_iflag;
  line.oflag = k.c_oflag;
  line.cflag = k.c_cflag;
  line.lflag = k.c_lflag;
  line.line = k.c_line;
  std::memcpy(line.cc, k.c_cc, sizeof line.cc);
  line.ispeed = k.c_ispeed;
  line.ospeed = k.c_ospeed;
}

termios2 ToKernel(const LineSettings& line) {
  termios2 k{};
  k.c_iflag = line.iflag;
  k.c_oflag = line.oflag;
  k.c_cflag = line.cflag;
  k.c_lflag = line.lflag;
  k.c_line = line.line;
  std::memcpy(k.c_cc, line.cc, sizeof k.c_cc);
  k.c_ispeed = line.ispeed;
  k.c_ospeed = line.ospeed;
  return k;
}

}  // namespace

int GetLineSettings(int fd, LineSettings* line) {
  termios2 k{};
  const int result = ::ioctl(fd, TCGETS2, &k);
  if (result == 0) FromKernel(k, *line);
  return result;
}

int SetLineSettings(int fd, bool afterOutput, const LineSettings* line) {
  const termios2 k = ToKernel(*line);
  return ::ioctl(fd, afterOutput ? TCSETSW2 : TCSETS2, &k);
}

}  // namespace qrticket
