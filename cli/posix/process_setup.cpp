// The command line's process on Linux and other POSIX systems.
#include "process_setup.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <iostream>

namespace qrticket::cli {
namespace {

bool IsClosed(int fd) { return ::fcntl(fd, F_GETFD) == -1 && errno == EBADF; }

}  // namespace

ProcessStart PrepareProcess() {
  ProcessStart start;
  start.standardOutputClosed = IsClosed(STDOUT_FILENO);
  // open() takes the lowest free number, so closed ones are filled from 0 upwards.
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (!IsClosed(fd)) continue;
    const int null = ::open("/dev/null", O_RDWR);
    if (null >= 0 && null != fd) ::close(null);  // /dev/null missing or odd: nothing better
  }
  std::signal(SIGPIPE, SIG_IGN);
  return start;
}

std::vector<std::string> Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

std::ostream& StandardOutput() { return std::cout; }
std::ostream& StandardError() { return std::cerr; }

}  // namespace qrticket::cli
