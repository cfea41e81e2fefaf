// --text-file on Windows: a disk file read whole with ReadFile; a pipe, a console or a device
// read on a helper thread, so that the wait for it is bounded by the stall time-out and ended
// by the cancel event, as on Linux. "-" is standard input.
#include "text_file.h"

#include <windows.h>

#include <cerrno>
#include <memory>
#include <mutex>

#include "devices/deadline.h"
#include "devices/win/cancel_event.h"
#include "devices/win/wide_text.h"
#include "devices/win/win_errors.h"

namespace qrticket::cli {
namespace {

using Clock = std::chrono::steady_clock;
using Status = TextFileRead::Status;

TextFileRead Unreadable(DWORD error) {
  const int posix = ErrnoForWindowsError(error);
  return TextFileRead::Failed(Status::Unreadable, posix != 0 ? posix : EIO);
}

// What the reading thread and the job share; the thread may outlive the job (a read that
// nothing can cancel), so it holds its own reference, and it alone closes a handle we opened.
struct Reading {
  HANDLE handle = INVALID_HANDLE_VALUE;
  bool closeHandle = false;
  HANDLE progress = nullptr;  // set after every read and at the end
  std::mutex mutex;
  std::string bytes;
  bool finished = false;
  DWORD error = 0;
  ~Reading() {
    if (closeHandle) ::CloseHandle(handle);
    if (progress) ::CloseHandle(progress);
  }
};

DWORD WINAPI ReadOnThread(void* parameter) {
  auto* owner = static_cast<std::shared_ptr<Reading>*>(parameter);
  const std::shared_ptr<Reading> reading = *owner;
  delete owner;
  char buffer[16384];
  for (;;) {
    DWORD got = 0;
    const bool ok = ::ReadFile(reading->handle, buffer, sizeof buffer, &got, nullptr);
    const DWORD error = ok ? 0 : ::GetLastError();
    const std::lock_guard lock(reading->mutex);
    reading->bytes.append(buffer, got);
    // The end: the writer of a pipe has finished, a console's Ctrl+Z, or enough to know.
    const bool end = (ok && got == 0) || error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF;
    if (!ok && !end) reading->error = error;
    if (!ok || end || reading->bytes.size() > kMaxTextFileBytes) {
      reading->finished = true;
      ::SetEvent(reading->progress);
      return 0;
    }
    ::SetEvent(reading->progress);
  }
}

// Reads a handle that may keep us waiting, giving up once nothing comes for `stall`.
TextFileRead ReadWaiting(HANDLE handle, bool ours, std::chrono::milliseconds stall, int cancelFd) {
  auto reading = std::make_shared<Reading>();
  reading->handle = handle;
  reading->closeHandle = ours;
  reading->progress = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (reading->progress == nullptr) return Unreadable(::GetLastError());
  auto* owner = new std::shared_ptr<Reading>(reading);
  const HANDLE thread = ::CreateThread(nullptr, 0, ReadOnThread, owner, 0, nullptr);
  if (thread == nullptr) {
    delete owner;
    return Unreadable(::GetLastError());
  }
  std::size_t seen = 0;
  auto deadline = Clock::now() + stall;
  const auto letGo = [&](Status status) {
    ::CancelSynchronousIo(thread);  // a read that ignores it ends with the process
    ::CloseHandle(thread);
    return TextFileRead::Failed(status);
  };
  for (;;) {
    const Waited waited =
        WaitOrCancel(SystemCalls::Real(), reading->progress, MillisecondsLeft(deadline), cancelFd);
    if (waited == Waited::Cancelled) return letGo(Status::Interrupted);
    std::unique_lock lock(reading->mutex);
    if (reading->finished) {
      lock.unlock();
      ::WaitForSingleObject(thread, INFINITE);  // it has nothing left to do
      ::CloseHandle(thread);
      if (reading->error != 0) return Unreadable(reading->error);
      if (reading->bytes.size() > kMaxTextFileBytes) return TextFileRead::Failed(Status::TooLong);
      TextFileRead read;
      read.bytes = std::move(reading->bytes);
      return read;
    }
    if (reading->bytes.size() != seen) {
      seen = reading->bytes.size();
      deadline = Clock::now() + stall;  // progress: the stall clock starts again
      continue;
    }
    if (waited == Waited::TimedOut) {
      lock.unlock();
      return letGo(Status::Stalled);
    }
  }
}

// A disk file, read whole.
TextFileRead ReadDiskFile(HANDLE file) {
  TextFileRead read;
  char buffer[64 * 1024];
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(file, buffer, sizeof buffer, &got, nullptr)) return Unreadable(::GetLastError());
    if (got == 0) return read;
    read.bytes.append(buffer, got);
    if (read.bytes.size() > kMaxTextFileBytes) return TextFileRead::Failed(Status::TooLong);
  }
}

}  // namespace

TextFileRead ReadTextFile(const std::string& path, std::chrono::milliseconds stall, int cancelFd) {
  HANDLE file = INVALID_HANDLE_VALUE;
  bool ours = false;
  if (path == kStandardInput) {
    file = ::GetStdHandle(STD_INPUT_HANDLE);
    if (file == nullptr || file == INVALID_HANDLE_VALUE)
      return TextFileRead::Failed(Status::Unreadable, EBADF);
  } else {
    const std::optional<std::wstring> wide = WideFromUtf8(path);
    if (!wide) return Unreadable(ERROR_INVALID_NAME);
    const DWORD attributes = ::GetFileAttributesW(wide->c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
      return TextFileRead::Failed(Status::Unreadable, EISDIR);
    file = ::CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Unreadable(::GetLastError());
    ours = true;
  }
  if (::GetFileType(file) == FILE_TYPE_DISK) {
    TextFileRead read = ReadDiskFile(file);
    if (ours) ::CloseHandle(file);
    return read;
  }
  return ReadWaiting(file, ours, stall, cancelFd);
}

}  // namespace qrticket::cli
