// The seam under the system calls the device channel makes. The real calls by default; a test
// overrides one or two to inject EINTR, short writes, EAGAIN or EIO without hardware.
#pragma once

#include <poll.h>
#include <sys/types.h>
#include <termios.h>

namespace qrticket {

class SystemCalls {
 public:
  virtual ~SystemCalls() = default;

  // Each returns what the system call returns and leaves errno as it set it.
  virtual int Open(const char* path, int flags, mode_t mode);
  virtual ssize_t Write(int fd, const void* data, size_t size);
  virtual int Poll(pollfd* fds, nfds_t count, int timeoutMs);
  virtual int Close(int fd);
  virtual int Flock(int fd, int operation);
  virtual int Ftruncate(int fd, off_t length);
  virtual int TcGetAttr(int fd, termios* attributes);
  virtual int TcSetAttr(int fd, int when, const termios* attributes);
  // ioctl requests that read one int, such as TIOCOUTQ and SIOCOUTQ.
  virtual int IoctlInt(int fd, unsigned long request, int* value);

  // The process-wide instance that makes the real calls.
  static SystemCalls& Real();
};

}  // namespace qrticket
