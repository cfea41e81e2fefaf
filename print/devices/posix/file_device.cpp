// Files, ports, ttys, FIFOs and standard output: opened without hanging, claimed exclusively,
// and closed only once the device has taken every byte.
#include "devices/posix/file_device.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "devices/deadline.h"
#include "devices/posix/cancellation.h"
#include "devices/device_failures.h"
#include "devices/posix/device_folder.h"
#include "devices/posix/fd_output.h"
#include "devices/posix/serial_line.h"

namespace qrticket {
namespace {

using failures::Stage;
using Clock = std::chrono::steady_clock;

class FileDevice final : public OutputDevice {
 public:
  FileDevice(SystemCalls& sys, int fd, bool ownsFd, std::string device,
             const ChannelOptions& options)
      : sys_(sys),
        fd_(fd),
        ownsFd_(ownsFd),
        device_(std::move(device)),
        stall_(options.stallTimeout),
        cancelFd_(options.cancelFd) {}

  FileDevice(const FileDevice&) = delete;
  FileDevice& operator=(const FileDevice&) = delete;

  ~FileDevice() override {
    if (fd_ >= 0) Release(/*discardQueued=*/true);
  }

  void ClaimExclusively() {
    while (sys_.Flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      if (errno == EINTR) continue;
      if (errno == EWOULDBLOCK) throw failures::FromErrno(EBUSY, device_, Stage::Open);
      return;  // file systems without locks: print anyway
    }
  }

  void EmptyRegularFile() {
    if (sys_.Ftruncate(fd_, 0) != 0) throw failures::FromErrno(errno, device_, Stage::Open);
  }

  // Raw output on a tty: no CR insertion, tab expansion or other post-processing.
  void MakeTtyRaw() {
    termios attributes{};
    if (sys_.TcGetAttr(fd_, &attributes) != 0) return;  // not a tty after all
    savedTty_ = attributes;
    attributes.c_oflag &= ~OPOST;
    if (sys_.TcSetAttr(fd_, TCSANOW, &attributes) != 0)
      throw failures::FromErrno(errno, device_, Stage::Open);
  }

  // The operator's serial settings, for this job only (the port's own come back at Release).
  void SetSerial(const SerialSettings& settings) {
    serial_ = std::make_unique<SerialLine>(sys_, fd_, device_);
    serial_->Apply(settings, LineModes::RawOutput);
  }

  // A socket on standard output: each send is non-blocking on its own (MSG_DONTWAIT).
  void SendAsSocket() { socket_ = true; }
  // A blocking descriptor shared with other programs: wait for room before each write.
  void WriteWhenRoom() { sharedBlocking_ = true; }

  // Drivers that queue a write and drop it on close (USB printers): wait for room first.
  void WaitForDeviceQueue() { waitForQueue_ = true; }
  // A FIFO: wait until the reader has read every byte.
  void WaitForReader() { waitForReader_ = true; }

  void Write(BytesView bytes) override {
    if (serial_ && written_ == 0) firstWrite_ = Clock::now();
    written_ += bytes.size();
    WriteAll(sys_, Output(), bytes);
  }

  void Close() override {
    std::optional<PrintFailure> failure;
    try {
      if (savedTty_ || serial_) DrainTty();
      else if (waitForReader_) DrainFifo();
      else if (waitForQueue_) WaitWritable(sys_, Output());
      if (serial_) HoldLine();
    } catch (const PrintFailure& f) {
      failure = f;
    }
    const int closeError = Release(/*discardQueued=*/failure.has_value());
    if (failure) throw *failure;
    if (closeError != 0) throw failures::FromErrno(closeError, device_, Stage::Close);
  }

 private:
  FdOutput Output() const {
    return {.fd = fd_, .device = device_, .stall = stall_, .socket = socket_,
            .sharedBlocking = sharedBlocking_,
            .queueShowsProgress = savedTty_.has_value() || serial_ != nullptr,
            .watchDsr = serial_ != nullptr && serial_->settings().watchesDsr(),
            .cancelFd = cancelFd_};
  }

  // Waits until the tty's output queue is empty. Bounded: a queue that does not shrink for the
  // stall time (a port held by flow control) is a time-out. A pseudo-terminal always reports
  // an empty queue: what it has taken sits in its buffer for the other side.
  void DrainTty() {
    WaitUntilDrained(sys_, Output(), [this] {
      int queued = 0;
      return sys_.IoctlInt(fd_, TIOCOUTQ, &queued) == 0 ? queued : 0;
    });
  }

  // The settings stay until the line has had the time to carry every byte since the first
  // write, and a FIFO more (LineHold). Cut short by a cancel.
  void HoldLine() {
    if (written_ == 0) return;
    const auto until = firstWrite_ + LineHold(written_, serial_->settings());
    for (;;) {
      const int left = MillisecondsLeft(until);
      if (left == 0) return;
      PollOrCancel(sys_, nullptr, 0, cancelFd_, left);
    }
  }

  // Waits while the reader empties the pipe. A reader that leaves with bytes unread makes the
  // descriptor report an error, and the job fails.
  void DrainFifo() {
    WaitUntilDrained(sys_, Output(), [this] {
      int unread = 0;
      if (sys_.IoctlInt(fd_, FIONREAD, &unread) != 0) return 0;
      if (unread > 0) {
        pollfd p{fd_, POLLOUT, 0};
        if (sys_.Poll(&p, 1, 0) > 0 && (p.revents & POLLERR) != 0)
          throw failures::NoReader(device_);
      }
      return unread;
    });
  }

  // Restores the tty and closes once; close() is never retried (the descriptor is gone).
  // After a failure a tty's queue is discarded first: closing a port held by flow control
  // would otherwise wait for it (up to 30 s for serial ports). After a drain it is left alone,
  // so the last bytes in the UART's own FIFO still go out.
  int Release(bool discardQueued) {
    if (serial_) serial_->Restore(discardQueued);
    if (savedTty_) {
      if (discardQueued) sys_.TcFlush(fd_, TCOFLUSH);
      sys_.TcSetAttr(fd_, TCSANOW, &*savedTty_);
    }
    int error = 0;
    if (ownsFd_ && sys_.Close(fd_) != 0 && errno != EINTR) error = errno;
    fd_ = -1;
    return error;
  }

  SystemCalls& sys_;
  int fd_;
  bool ownsFd_;
  std::string device_;
  std::chrono::milliseconds stall_;
  int cancelFd_;
  std::optional<termios> savedTty_;
  std::unique_ptr<SerialLine> serial_;
  std::uint64_t written_ = 0;
  Clock::time_point firstWrite_;
  bool socket_ = false;
  bool sharedBlocking_ = false;
  bool waitForQueue_ = false;
  bool waitForReader_ = false;
};

bool IsFifo(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
}

// Standard output opened a second time, through /proc, as a description of our own that can
// be non-blocking without changing it for the other programs writing to the same pipe or
// terminal. -1 when that is not possible (no /proc, a device that allows one opener, a pipe
// nobody reads) or would not be the same thing: opening a pseudo-terminal's master again
// makes a new terminal.
int ReopenStandardOutput(SystemCalls& sys, const struct stat& shared) {
  int ptyNumber = 0;
  if (::isatty(STDOUT_FILENO) && ::ioctl(STDOUT_FILENO, TIOCGPTN, &ptyNumber) == 0) return -1;
  int fd;
  do fd = sys.Open("/proc/self/fd/1", O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) return -1;
  struct stat own {};
  if (::fstat(fd, &own) != 0 || own.st_dev != shared.st_dev || own.st_ino != shared.st_ino ||
      own.st_rdev != shared.st_rdev) {
    sys.Close(fd);
    return -1;
  }
  return fd;
}

// "-": standard output, which the shell shares with other programs. Its flags are never
// changed: a pipe or terminal is written through a description of our own when it can be
// opened again, and otherwise only when poll reports room; a socket gets non-blocking sends;
// a file is written as it is (a file never keeps a writer waiting).
std::unique_ptr<OutputDevice> OpenStandardOutput(std::string_view device,
                                                 const ChannelOptions& options,
                                                 SystemCalls& sys) {
  struct stat st {};
  if (::fstat(STDOUT_FILENO, &st) != 0) throw failures::FromErrno(errno, device, Stage::Open);
  if (S_ISREG(st.st_mode) || S_ISBLK(st.st_mode))
    return std::make_unique<FileDevice>(sys, STDOUT_FILENO, false, std::string(device), options);
  if (S_ISSOCK(st.st_mode)) {
    auto out =
        std::make_unique<FileDevice>(sys, STDOUT_FILENO, false, std::string(device), options);
    out->SendAsSocket();
    return out;
  }
  std::unique_ptr<FileDevice> out;
  if (const int own = ReopenStandardOutput(sys, st); own >= 0) {
    out = std::make_unique<FileDevice>(sys, own, true, std::string(device), options);
  } else {
    out = std::make_unique<FileDevice>(sys, STDOUT_FILENO, false, std::string(device), options);
    out->WriteWhenRoom();
  }
  if (::isatty(STDOUT_FILENO)) out->MakeTtyRaw();  // a printer on the terminal line
  return out;
}

}  // namespace

std::unique_ptr<OutputDevice> OpenFileDevice(const DeviceTarget& target, std::string_view device,
                                             const ChannelOptions& options, SystemCalls& sys) {
  if (target.kind == DeviceTarget::Kind::StandardOutput)
    return OpenStandardOutput(device, options, sys);

  const std::string& path = target.path;
  if (path.empty() || path.find('\0') != std::string::npos) throw failures::BadFileName(device);

  // Never create a file where a device should be: a missing /dev/lp0 is an error, not a new file.
  // Nor a serial line: a missing /dev/pts/9 is not there, whichever file system holds it.
  const bool mayCreate =
      !target.serial && !NamesSerialTty(path) && !WouldCreateInDeviceFolder(path);
  // Non-blocking so that neither the open (a FIFO, a modem line) nor a write can hang; the
  // waits are ours and bounded. Not truncated yet: a file is emptied only once it is ours.
  int flags = O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  if (mayCreate) flags |= O_CREAT;
  int fd;
  do fd = sys.Open(path.c_str(), flags, 0666);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    const int error = errno;
    if (error == ENXIO && IsFifo(path)) throw failures::NoReader(device);
    throw failures::FromErrno(error, device, Stage::Open);
  }

  auto out = std::make_unique<FileDevice>(sys, fd, true, std::string(device), options);
  struct stat st {};
  ::fstat(fd, &st);
  out->ClaimExclusively();
  if (target.serial) {  // settings are for serial lines only: nothing else is touched
    if (!S_ISCHR(st.st_mode) || !::isatty(fd)) throw failures::NotASerialLine(device);
    out->SetSerial(*target.serial);
    return out;
  }
  if (S_ISREG(st.st_mode)) {
    out->EmptyRegularFile();
  } else if (S_ISCHR(st.st_mode)) {
    if (::isatty(fd)) out->MakeTtyRaw();
    else out->WaitForDeviceQueue();
  } else if (S_ISFIFO(st.st_mode)) {
    out->WaitForReader();
  }
  return out;
}

}  // namespace qrticket
