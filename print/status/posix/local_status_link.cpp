// Status requests on ttys and USB printers.
#include "status/posix/local_status_link.h"

#include <fcntl.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "devices/device_failures.h"
#include "status/posix/fd_status_link.h"
#include "status/status_failures.h"

namespace qrticket {

using failures::Stage;

LocalStatusLink::LocalStatusLink(SystemCalls& sys, int fd, std::string device, int cancelFd)
    : FdStatusLink(sys, fd, std::move(device), /*socket=*/false, cancelFd) {}

LocalStatusLink::~LocalStatusLink() { CloseNow(); }

void LocalStatusLink::Claim() {
  while (sys_.Flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    if (errno == EWOULDBLOCK) throw failures::FromErrno(EBUSY, device_, Stage::Open);
    return;  // no locks here: ask anyway
  }
}

// Raw both ways, so every answer byte comes through as sent (0x0D, 0x11, 0x13 included when
// the port has no software flow control) and requests leave unchanged.
void LocalStatusLink::MakeTtyRaw() {
  termios attributes{};
  if (sys_.TcGetAttr(fd_, &attributes) != 0) return;  // not a tty: a USB printer
  savedTty_ = attributes;
  attributes.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL);
  attributes.c_oflag &= ~OPOST;
  attributes.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  // One byte at least and no timer: with O_NONBLOCK a read then says EAGAIN when nothing
  // is there, where VMIN 0 would return 0 and look like the end of input.
  attributes.c_cc[VMIN] = 1;
  attributes.c_cc[VTIME] = 0;
  if (sys_.TcSetAttr(fd_, TCSANOW, &attributes) != 0)
    throw failures::FromErrno(errno, device_, Stage::Open);
  sys_.TcFlush(fd_, TCIFLUSH);  // answers to someone else's questions
}

bool LocalStatusLink::SetSerial(const SerialSettings& settings) {
  if (!serial_) serial_ = std::make_unique<SerialLine>(sys_, fd_, device_);
  serial_->Apply(settings, LineModes::RawBoth);
  sys_.TcFlush(fd_, TCIFLUSH);  // answers to someone else's questions, or at other settings
  return true;
}

// A device that ends its input before sending anything cannot answer (/dev/null); one that
// had answered has hung up (a pseudo-terminal's other side closed), which the exchange says.
void LocalStatusLink::AtEndOfInput() {
  if (!answered_) throw failures::NoReturnChannel(device_, failures::NoWayBack::Device);
}

void LocalStatusLink::BeforeClose() {
  if (serial_) serial_->Restore(/*discardQueued=*/true);
  if (!savedTty_) return;
  sys_.TcFlush(fd_, TCOFLUSH);
  sys_.TcSetAttr(fd_, TCSANOW, &*savedTty_);
}

std::unique_ptr<LocalStatusLink> OpenLocalStatusLink(const std::string& path,
                                                     std::string_view device, SystemCalls& sys,
                                                     int cancelFd,
                                                     const std::optional<SerialSettings>& serial) {
  int fd;
  do fd = sys.Open(path.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) throw failures::FromErrno(errno, device, Stage::Open);
  auto link = std::make_unique<LocalStatusLink>(sys, fd, std::string(device), cancelFd);
  link->Claim();
  if (serial) link->SetSerial(*serial);
  else link->MakeTtyRaw();
  return link;
}

}  // namespace qrticket
