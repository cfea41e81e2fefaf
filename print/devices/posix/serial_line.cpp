// Serial settings on Linux ttys through termios2, read back and put back.
#include "devices/posix/serial_line.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "devices/device_failures.h"
#include "devices/posix/changed_lines.h"

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

// The C library's code for a standard speed, which every program reading the line with
// tcgetattr (stty, Wine) understands; BOTHER with the number itself for any other speed.
std::uint32_t SpeedCode(std::uint32_t speed) {
  constexpr std::pair<std::uint32_t, std::uint32_t> kStandard[] = {
      {50, B50},         {75, B75},         {110, B110},       {134, B134},
      {150, B150},       {200, B200},       {300, B300},       {600, B600},
      {1200, B1200},     {1800, B1800},     {2400, B2400},     {4800, B4800},
      {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600},
      {115200, B115200}, {230400, B230400}, {460800, B460800}, {500000, B500000},
      {576000, B576000}, {921600, B921600}, {1000000, B1000000}, {1152000, B1152000},
      {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
      {3500000, B3500000}, {4000000, B4000000}};
  for (const auto& [rate, code] : kStandard)
    if (rate == speed) return code;
  return kLineSpeedAsNumber;
}

std::string DataBitsText(int bits) { return std::to_string(bits) + " bits de dados"; }

}  // namespace

LineSettings LineFor(const LineSettings& own, const SerialSettings& s, LineModes modes) {
  LineSettings line = own;
  line.cflag &= ~(kLineSpeedMask | kLineInputSpeedMask | CSIZE | PARENB | PARODD | CMSPAR |
                  CSTOPB | CRTSCTS);
  line.cflag |= SpeedCode(s.speed) | DataBitsFlag(s.dataBits) | CREAD | CLOCAL;
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

SerialSettings SettingsOf(const LineSettings& line) {
  SerialSettings s;
  s.speed = line.ospeed;
  switch (line.cflag & CSIZE) {
    case CS5: s.dataBits = 5; break;
    case CS6: s.dataBits = 6; break;
    case CS7: s.dataBits = 7; break;
    default: s.dataBits = 8; break;
  }
  if ((line.cflag & PARENB) != 0) {
    const bool odd = (line.cflag & PARODD) != 0;
    if ((line.cflag & CMSPAR) != 0) s.parity = odd ? Parity::Mark : Parity::Space;
    else s.parity = odd ? Parity::Odd : Parity::Even;
  }
  if ((line.cflag & CSTOPB) != 0)
    s.stopBits = s.dataBits == 5 ? StopBits::OnePointFive : StopBits::Two;
  if ((line.cflag & CRTSCTS) != 0) s.flow = Flow::RtsCts;
  else if ((line.iflag & IXON) != 0) s.flow = Flow::XonXoff;
  return s;
}

std::optional<SerialSettings> CurrentSettings(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  LineSettings line;
  const bool read = GetLineSettings(fd, &line) == 0;
  ::close(fd);
  if (!read) return std::nullopt;
  return SettingsOf(line);
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
  RememberChangedLine(fd_, own_);  // even if the process is ended at once
  const LineSettings line = LineFor(own_, settings, modes);
  try {
    if (sys_.SetLine(fd_, /*afterOutput=*/false, &line) != 0)
      throw failures::FromErrno(errno, device_, failures::Stage::Open);
    LineSettings taken;
    if (sys_.GetLine(fd_, &taken) != 0)
      throw failures::FromErrno(errno, device_, failures::Stage::Open);
    if (!SpeedsMatch(settings.speed, taken.ospeed))
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
  ForgetChangedLine(fd_);
}

}  // namespace qrticket
