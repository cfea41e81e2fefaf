// The seam under the system calls the device channel makes. The real calls by default; a test
// overrides one or two to inject EINTR, short writes, EAGAIN or EIO without hardware.
#pragma once

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/types.h>
#include <termios.h>

#include "devices/line_settings.h"

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
  // Discards what a tty still holds (TCOFLUSH), so that closing a stalled port cannot block.
  virtual int TcFlush(int fd, int queue);
  // ioctl requests that read one int, such as TIOCOUTQ, SIOCOUTQ, FIONREAD and TIOCMGET (the
  // modem lines: TIOCM_DSR, TIOCM_CTS...).
  virtual int IoctlInt(int fd, unsigned long request, int* value);
  // A tty's settings with its speeds as numbers (TCGETS2; TCSETS2, or TCSETSW2 with
  // `afterOutput`), for serial settings the operator gives: see line_settings.h.
  virtual int GetLine(int fd, LineSettings* line);
  virtual int SetLine(int fd, bool afterOutput, const LineSettings* line);

  // Sockets.
  virtual int Socket(int domain, int type, int protocol);
  virtual int Connect(int fd, const sockaddr* address, socklen_t length);
  virtual ssize_t Send(int fd, const void* data, size_t size, int flags);
  virtual ssize_t Recv(int fd, void* buffer, size_t size, int flags);
  virtual int Shutdown(int fd, int how);
  virtual int GetSockOpt(int fd, int level, int name, void* value, socklen_t* length);
  virtual int SetSockOpt(int fd, int level, int name, const void* value, socklen_t length);

  // Host name lookups (getaddrinfo, freeaddrinfo). A lookup runs on a helper thread, which may
  // go on after the job has stopped waiting for it: an override must outlive its calls.
  virtual int GetAddrInfo(const char* host, const char* service, const addrinfo* hints,
                          addrinfo** result);
  virtual void FreeAddrInfo(addrinfo* list);

  // The process-wide instance that makes the real calls.
  static SystemCalls& Real();
};

}  // namespace qrticket
