// Devices nobody reads, for the tests that stop a job while it waits on one: a pty with a
// keeper on its slave side and a FIFO with a reader that reads nothing.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <string>

#include "pty_pair.h"
#include "temp_dir.h"

namespace qrticket::testing {

// Whether `fd` has something to read right now: the job has reached the device.
inline bool Readable(int fd) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, 0) > 0;
}

// A pty nobody reads, with a keeper on the slave side to look at its settings afterwards.
struct KeptPty {
  PtyPair pty;
  int keeper = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ~KeptPty() { ::close(keeper); }
  tcflag_t OutputFlags() const {
    termios t{};
    ::tcgetattr(keeper, &t);
    return t.c_oflag;
  }
};

// A FIFO whose reader keeps it open and reads nothing until the test does.
struct UnreadFifo {
  TempDir dir;
  std::string path = dir.File("fifo");
  int reader = (::mkfifo(path.c_str(), 0600), ::open(path.c_str(), O_RDONLY | O_NONBLOCK));
  ~UnreadFifo() { ::close(reader); }
};

}  // namespace qrticket::testing
