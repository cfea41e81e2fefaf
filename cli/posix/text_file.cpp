// Bounded, cancellable reading of --text-file, and its line breaks.
#include "text_file.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "devices/deadline.h"
#include "devices/posix/cancellation.h"
#include "devices/failure.h"
#include "devices/system_calls.h"

namespace qrticket::cli {
namespace {

using Clock = std::chrono::steady_clock;
using Status = TextFileRead::Status;

// Closes the descriptor when the read ends, however it ends.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

// Reads until the end, waiting with poll (bounded) on anything that is not a regular file.
// A FIFO opened before its writer reads as ended; poll waits until a writer comes (POLLIN) or
// has come and gone (POLLHUP), which tells the two apart.
TextFileRead ReadAll(int fd, bool regular, std::chrono::milliseconds stall, int cancelFd) {
  TextFileRead read;
  char buffer[16384];
  auto deadline = Clock::now() + stall;
  for (;;) {
    if (!regular) {
      pollfd p{fd, POLLIN, 0};
      const int left = MillisecondsLeft(deadline);
      if (left == 0) return TextFileRead::Failed(Status::Stalled);
      const int ready = PollOrCancel(SystemCalls::Real(), &p, 1, cancelFd, left);
      if (ready < 0 && errno != EINTR) return TextFileRead::Failed(Status::Unreadable, errno);
      if (ready <= 0) continue;
    }
    const std::size_t room = kMaxTextFileBytes + 1 - read.bytes.size();
    const ssize_t got = ::read(fd, buffer, std::min(sizeof buffer, room));
    if (got > 0) {
      read.bytes.append(buffer, static_cast<std::size_t>(got));
      if (read.bytes.size() > kMaxTextFileBytes) return TextFileRead::Failed(Status::TooLong);
      deadline = Clock::now() + stall;
      continue;
    }
    if (got == 0) return read;
    if (errno == EINTR) {
      ThrowIfCancelled(SystemCalls::Real(), cancelFd);
      continue;
    }
    if (regular || (errno != EAGAIN && errno != EWOULDBLOCK))
      return TextFileRead::Failed(Status::Unreadable, errno);
  }
}

}  // namespace

TextFileRead ReadTextFile(const std::string& path, std::chrono::milliseconds stall,
                          int cancelFd) {
  Descriptor file{-1};
  if (path == kStandardInput) {
    // A descriptor of our own for standard input, left blocking: its flags are shared with
    // the shell. Every read of anything but a file waits for poll first, so none blocks.
    file.fd = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0);
  } else {
    // Non-blocking, so that opening a FIFO does not wait for a writer without a bound.
    do file.fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    while (file.fd < 0 && errno == EINTR);
  }
  if (file.fd < 0) return TextFileRead::Failed(Status::Unreadable, errno);
  struct stat st {};
  if (::fstat(file.fd, &st) != 0) return TextFileRead::Failed(Status::Unreadable, errno);
  // A folder opens like a file; read says EISDIR, but say it before reading.
  if (S_ISDIR(st.st_mode)) return TextFileRead::Failed(Status::Unreadable, EISDIR);
  try {
    return ReadAll(file.fd, S_ISREG(st.st_mode), stall, cancelFd);
  } catch (const PrintFailure& failure) {
    if (failure.code() != FailureCode::Interrupted) throw;
    return TextFileRead::Failed(Status::Interrupted);
  }
}

}  // namespace qrticket::cli
