#include "system_calls.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace qrticket {

int SystemCalls::Open(const char* path, int flags, mode_t mode) {
  return ::open(path, flags, mode);
}
ssize_t SystemCalls::Write(int fd, const void* data, size_t size) {
  return ::write(fd, data, size);
}
int SystemCalls::Poll(pollfd* fds, nfds_t count, int timeoutMs) {
  return ::poll(fds, count, timeoutMs);
}
int SystemCalls::Close(int fd) { return ::close(fd); }
int SystemCalls::Flock(int fd, int operation) { return ::flock(fd, operation); }
int SystemCalls::Ftruncate(int fd, off_t length) { return ::ftruncate(fd, length); }
int SystemCalls::TcGetAttr(int fd, termios* attributes) { return ::tcgetattr(fd, attributes); }
int SystemCalls::TcSetAttr(int fd, int when, const termios* attributes) {
  return ::tcsetattr(fd, when, attributes);
}
int SystemCalls::IoctlInt(int fd, unsigned long request, int* value) {
  return ::ioctl(fd, request, value);
}

SystemCalls& SystemCalls::Real() {
  static SystemCalls real;
  return real;
}

}  // namespace qrticket
