// Standard output through WriteFile, with blocking writes moved off the job's thread.
#include "devices/win/stdout_device.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <string>

#include "devices/device_failures.h"
#include "devices/win/cancel_event.h"
#include "devices/win/win_errors.h"

namespace qrticket {
namespace {

using Clock = std::chrono::steady_clock;
using failures::Stage;

constexpr DWORD kPieceSize = 4096;
// How long a cancelled write may take to come back before its thread is left behind.
constexpr auto kCancelWait = std::chrono::milliseconds(500);
// How long a wait for the writing thread goes on before it looks at the cancel event again.
constexpr auto kCancelCheck = std::chrono::milliseconds(50);

// What the job and its writing thread share; the thread may outlive the job.
struct Transfer {
  SystemCalls* sys = nullptr;
  HANDLE handle = INVALID_HANDLE_VALUE;
  Bytes bytes;
  std::mutex mutex;
  std::condition_variable changed;
  std::size_t written = 0;
  bool finished = false;
  DWORD error = 0;
};

// Writes the bytes piece by piece, telling the job after each piece.
DWORD WINAPI WriteOnThread(void* parameter) {
  auto* owner = static_cast<std::shared_ptr<Transfer>*>(parameter);
  const std::shared_ptr<Transfer> transfer = *owner;
  delete owner;
  std::size_t done = 0;
  DWORD error = 0;
  while (done < transfer->bytes.size()) {
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(kPieceSize, transfer->bytes.size() - done));
    DWORD written = 0;
    if (!transfer->sys->WriteFile(transfer->handle, transfer->bytes.data() + done, piece, &written,
                                  nullptr)) {
      error = ::GetLastError();
      break;
    }
    done += written;
    const std::lock_guard lock(transfer->mutex);
    transfer->written = done;
    transfer->changed.notify_all();
  }
  const std::lock_guard lock(transfer->mutex);
  transfer->error = error;
  transfer->finished = true;
  transfer->changed.notify_all();
  return 0;
}

class StandardOutput final : public OutputDevice {
 public:
  StandardOutput(SystemCalls& sys, HANDLE handle, std::string device,
                 const ChannelOptions& options, bool isFile)
      : sys_(sys), handle_(handle), device_(std::move(device)), stall_(options.stallTimeout),
        cancelFd_(options.cancelFd), isFile_(isFile) {}

  void Write(BytesView bytes) override {
    if (isFile_) WriteHere(bytes);
    else WriteOnHelperThread(bytes);
  }

  void Close() override {}  // the bytes are with the system; the handle stays the shell's

 private:
  // A file cannot stall: plain writes, continued after short ones.
  void WriteHere(BytesView bytes) {
    while (!bytes.empty()) {
      DWORD written = 0;
      const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
      if (!sys_.WriteFile(handle_, bytes.data(), piece, &written, nullptr))
        throw FromWindowsError(::GetLastError(), device_, Stage::Write);
      bytes.remove_prefix(written);
    }
  }

  void WriteOnHelperThread(BytesView bytes) {
    auto transfer = std::make_shared<Transfer>();
    transfer->sys = &sys_;
    transfer->handle = handle_;
    transfer->bytes.assign(bytes);
    auto* owner = new std::shared_ptr<Transfer>(transfer);
    const HANDLE thread = ::CreateThread(nullptr, 0, WriteOnThread, owner, 0, nullptr);
    if (!thread) {
      delete owner;
      throw FromWindowsError(::GetLastError(), device_, Stage::Write);
    }
    std::unique_lock lock(transfer->mutex);
    // Cancels the write and lets the thread go: one that does not come back runs on its own.
    const auto giveUp = [&](const PrintFailure& failure) {
      lock.unlock();
      ::CancelSynchronousIo(thread);
      lock.lock();
      transfer->changed.wait_for(lock, kCancelWait, [&] { return transfer->finished; });
      ::CloseHandle(thread);
      throw failure;
    };
    auto deadline = Clock::now() + stall_;
    std::size_t seen = 0;
    while (!transfer->finished) {
      transfer->changed.wait_until(lock, std::min(deadline, Clock::now() + kCancelCheck));
      if (transfer->finished) break;
      if (IsCancelled(cancelFd_)) giveUp(failures::Interrupted());
      if (Clock::now() >= deadline && transfer->written == seen)
        giveUp(failures::TimedOut(device_, stall_));
      if (transfer->written != seen) {
        seen = transfer->written;
        deadline = Clock::now() + stall_;  // progress: the stall clock starts again
      }
    }
    ::CloseHandle(thread);
    if (transfer->error != 0) throw FromWindowsError(transfer->error, device_, Stage::Write);
  }

  SystemCalls& sys_;
  HANDLE handle_;
  std::string device_;
  std::chrono::milliseconds stall_;
  int cancelFd_;
  bool isFile_;
};

}  // namespace

std::unique_ptr<OutputDevice> OpenStandardOutput(std::string_view device,
                                                 const ChannelOptions& options, SystemCalls& sys) {
  const HANDLE handle = sys.GetStdHandle(STD_OUTPUT_HANDLE);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
    throw failures::FromErrno(ENXIO, device, Stage::Open);  // started without standard output
  const bool isFile = sys.GetFileType(handle) == FILE_TYPE_DISK;
  return std::make_unique<StandardOutput>(sys, handle, std::string(device), options, isFile);
}

}  // namespace qrticket
