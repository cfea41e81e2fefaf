// Serial settings on Linux ttys through termios2, read back and put back.
#include "devices/serial_line.h"

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>

#include <cerrno>

#include "devices/device_failures.h"

namespace qrticket {
namespace {

using Parity = SerialSettings::Parity;
using StopBits = SerialSettings::StopBits;
using Flow = SerialSettings::Flow;

// Linux's Unix 98 pseudo-terminal slaves: majors 136 to 143.
constexpr unsigned kFirstPtySlaveMajor = 136;
constexpr unsigned kLastPtySlaveMajor = 143;

constexpr std::uint32_t DataBitsFlag(int bits) {
  switch (bits) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
  }
}

// Within 2 % of the speed asked for.
bool CloseEnough(std::uint32_t asked, std::uint32_t set) {
  const std::uint64_t difference = asked > set ? asked - set : set - asked;
  return difference * 100 <= static_cast<std::uint64_t>(asked) * 2;
}

std::string DataBitsText(int bits) { return std::to_string(bits) + " bits de dados"; }

}  // namespace

LineSettings LineFor(const LineSettings& own, const SerialSettings& s, LineModes modes) {
  LineSettings line = own;
  line.cflag &= ~(kLineSpeedMask | kLineInputSpeedMask | CSIZE | PARENB | PARODD | CMSPAR |
                  CSTOPB | CRTSCTS);
  line.cflag |= kLineSpeedAsNumber | DataBitsFlag(s.dataBits) | CREAD | CLOCAL;
  line.ispeed = line.ospeed = s.speed;
  switch (s.parity) {
    case Parity::None: break;
    case Parity::Even: line.cflag |= PARENB; break;
    case Parity::Odd: line.cflag |= PARENB | PARODD; break;
    case Parity::Mark: line.cflag |= PARENB | CMSPAR | PARODD; break;
    case Parity::Space: line.cflag |= PARENB | CMSPAR; break;
  }
  if (s.stopBits != StopBits::One) line.cflag |= CSTOPB;
  line.iflag &= ~(IXON | IXOFF | IXANY);
  if (s.flow == Flow::XonXoff) line.iflag |= IXON | IXOFF;
  if (s.usesRtsCts()) line.cflag |= CRTSCTS;

  line.oflag &= ~OPOST;
  if (modes == LineModes::RawBoth) {
    line.iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL);
    line.lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    // One byte at least and no timer: with O_NONBLOCK a read then says EAGAIN when nothing
    // is there, where VMIN 0 would return 0 and look like the end of input.
    line.cc[VMIN] = 1;
    line.cc[VTIME] = 0;
  }
  return line;
}

SerialLine::SerialLine(SystemCalls& sys, int fd, std::string device)
    : sys_(sys), fd_(fd), device_(std::move(device)) {
  if (sys_.GetLine(fd_, &own_) != 0) throw failures::NotASerialLine(device_);
  struct stat st {};
  if (::fstat(fd_, &st) == 0 && S_ISCHR(st.st_mode)) {
    const unsigned m = major(st.st_rdev);
    pseudoTerminal_ = m >= kFirstPtySlaveMajor && m <= kLastPtySlaveMajor;
  }
}

SerialLine::~SerialLine() { Restore(/*discardQueued=*/true); }

void SerialLine::Apply(const SerialSettings& settings, LineModes modes) {
  if (settings.stopBits == StopBits::OnePointFive && settings.dataBits != 5)
    throw failures::SettingNotTaken(device_, "1.5 bits de paragem com " +
                                                 DataBitsText(settings.dataBits) +
                                                 " (só com 5)");
  settings_ = settings;
  applied_ = true;  // from here on the port's own settings go back, whatever happens
  const LineSettings line = LineFor(own_, settings, modes);
  try {
    if (sys_.SetLine(fd_, /*afterOutput=*/false, &line) != 0)
      throw failures::FromErrno(errno, device_, failures::Stage::Open);
    LineSettings taken;
    if (sys_.GetLine(fd_, &taken) != 0)
      throw failures::FromErrno(errno, device_, failures::Stage::Open);
    if (!CloseEnough(settings.speed, taken.ospeed))
      throw failures::SpeedNotTaken(device_, settings.speed, taken.ospeed);
    int lines = 0;
    if (settings.watchesDsr() && sys_.IoctlInt(fd_, TIOCMGET, &lines) != 0)
      throw failures::NoDsrLine(device_);
  } catch (const PrintFailure&) {
    Restore(/*discardQueued=*/false);
    throw;
  }
}

void SerialLine::Restore(bool discardQueued) noexcept {
  if (!applied_) return;
  applied_ = false;
  if (discardQueued) sys_.TcFlush(fd_, TCOFLUSH);
  sys_.SetLine(fd_, /*afterOutput=*/false, &own_);
}

}  // namespace qrticket
