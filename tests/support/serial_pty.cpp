// Pseudo-terminals as serial lines for tests.
#include "serial_pty.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>

namespace qrticket::testing {

SerialPty::SerialPty() {
  keeper_ = ::open(pty_.slavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  termios raw{};
  if (keeper_ < 0 || ::tcgetattr(keeper_, &raw) != 0) throw std::runtime_error("no pty slave");
  ::cfmakeraw(&raw);
  ::tcsetattr(keeper_, TCSANOW, &raw);
  SetSpeed(9600);
}

SerialPty::~SerialPty() { ::close(keeper_); }

LineSettings SerialPty::Line() const {
  LineSettings line;
  GetLineSettings(keeper_, &line);
  return line;
}

void SerialPty::SetSpeed(std::uint32_t speed, bool twoStopBits) {
  LineSettings line = Line();
  line.cflag &= ~(kLineSpeedMask | kLineInputSpeedMask | CSTOPB);
  line.cflag |= kLineSpeedAsNumber | (twoStopBits ? CSTOPB : 0);
  line.ispeed = line.ospeed = speed;
  SetLineSettings(keeper_, false, &line);
}

}  // namespace qrticket::testing
