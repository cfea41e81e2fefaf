// The real system calls behind the SystemCalls seam.
#include "devices/system_calls.h"

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
int SystemCalls::TcFlush(int fd, int queue) { return ::tcflush(fd, queue); }
int SystemCalls::IoctlInt(int fd, unsigned long request, int* value) {
  return ::ioctl(fd, request, value);
}
int SystemCalls::GetLine(int fd, LineSettings* line) { return GetLineSettings(fd, line); }
int SystemCalls::SetLine(int fd, bool afterOutput, const LineSettings* line) {
  return SetLineSettings(fd, afterOutput, line);
}

int SystemCalls::Socket(int domain, int type, int protocol) {
  return ::socket(domain, type, protocol);
}
int SystemCalls::Connect(int fd, const sockaddr* address, socklen_t length) {
  return ::connect(fd, address, length);
}
ssize_t SystemCalls::Send(int fd, const void* data, size_t size, int flags) {
  return ::send(fd, data, size, flags);
}
ssize_t SystemCalls::Recv(int fd, void* buffer, size_t size, int flags) {
  return ::recv(fd, buffer, size, flags);
}
int SystemCalls::Shutdown(int fd, int how) { return ::shutdown(fd, how); }
int SystemCalls::GetSockOpt(int fd, int level, int name, void* value, socklen_t* length) {
  return ::getsockopt(fd, level, name, value, length);
}
int SystemCalls::SetSockOpt(int fd, int level, int name, const void* value, socklen_t length) {
  return ::setsockopt(fd, level, name, value, length);
}

int SystemCalls::GetAddrInfo(const char* host, const char* service, const addrinfo* hints,
                             addrinfo** result) {
  return ::getaddrinfo(host, service, hints, result);
}
void SystemCalls::FreeAddrInfo(addrinfo* list) { ::freeaddrinfo(list); }

SystemCalls& SystemCalls::Real() {
  static SystemCalls real;
  return real;
}

}  // namespace qrticket
