// Files, ports and other device paths through CreateFileW and overlapped WriteFile.
#include "devices/win/handle_device.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <memory>
#include <optional>
#include <string>

#include "devices/deadline.h"
#include "devices/device_failures.h"
#include "devices/win/cancel_event.h"
#include "devices/win/comm_line.h"
#include "devices/win/overlapped_output.h"
#include "devices/win/wide_text.h"
#include "devices/win/win_errors.h"
#include "devices/win/windows_names.h"

namespace qrticket {
namespace {

using failures::Stage;
using Clock = std::chrono::steady_clock;

class HandleDevice final : public OutputDevice {
 public:
  HandleDevice(SystemCalls& sys, HANDLE handle, std::string device, const HandleOutput& how)
      : sys_(sys), handle_(handle), device_(std::move(device)), serial_(how.serial),
        cancelFd_(how.cancelFd), writer_(sys, Output(how)) {}

  HandleDevice(const HandleDevice&) = delete;
  HandleDevice& operator=(const HandleDevice&) = delete;

  ~HandleDevice() override {
    if (handle_ != INVALID_HANDLE_VALUE) Release(/*discardQueued=*/true);
  }

  // The operator's serial settings, for this job only (the port's own come back at Release).
  void SetSerial(const SerialSettings& settings) {
    comm_ = std::make_unique<CommLine>(sys_, handle_, device_);
    comm_->Apply(settings);
  }

  void Write(BytesView bytes) override {
    if (comm_ && written_ == 0) firstWrite_ = Clock::now();
    written_ += bytes.size();
    writer_.WriteAll(bytes);
  }

  void Close() override {
    std::optional<PrintFailure> failure;
    try {
      writer_.Drain();
      if (comm_) HoldLine();
    } catch (const PrintFailure& f) {
      failure = f;
    }
    const DWORD closeError = Release(/*discardQueued=*/failure.has_value());
    if (failure) throw *failure;
    if (closeError != 0) throw FromWindowsError(closeError, device_, Stage::Close);
  }

 private:
  HandleOutput Output(HandleOutput how) const {
    how.handle = handle_;
    how.device = device_;
    return how;
  }

  // The settings stay until the line has had the time to carry every byte since the first
  // write and a FIFO more: a port linked to a pseudo-terminal (Wine) shows no queue at all.
  // Cut short by a cancel.
  void HoldLine() {
    if (written_ == 0) return;
    const auto until = firstWrite_ + LineHold(written_, comm_->settings());
    const DWORD left = MillisecondsLeft(until);
    if (left > 0) SleepOrCancel(left, cancelFd_);
  }

  // Closes once. After a failure a serial port's queue is discarded first: closing a port held
  // by flow control would otherwise wait for the line.
  DWORD Release(bool discardQueued) {
    if (comm_) comm_->Restore(discardQueued);
    else if (serial_ && discardQueued) sys_.PurgeComm(handle_, PURGE_TXABORT | PURGE_TXCLEAR);
    const DWORD error = sys_.CloseHandle(handle_) ? 0 : ::GetLastError();
    handle_ = INVALID_HANDLE_VALUE;
    return error;
  }

  SystemCalls& sys_;
  HANDLE handle_;
  std::string device_;
  bool serial_;
  int cancelFd_;
  OverlappedWriter writer_;
  std::unique_ptr<CommLine> comm_;
  std::uint64_t written_ = 0;
  Clock::time_point firstWrite_;
};

// `prefix` in capitals.
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  return true;
}

bool IsDirectory(SystemCalls& sys, const std::wstring& path) {
  const DWORD attributes = sys.GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

bool IsDeviceNamespacePath(std::string_view path) {
  return path.starts_with("\\\\.\\") || path.starts_with("\\\\?\\");
}

bool IsSerialPortPath(std::string_view path) {
  if (!StartsWithIgnoringCase(path, "\\\\.\\COM") || path.size() == 7) return false;
  for (const char c : path.substr(7))
    if (c < '0' || c > '9') return false;
  return true;
}

std::unique_ptr<OutputDevice> OpenHandleDevice(const DeviceTarget& target, std::string_view device,
                                               const ChannelOptions& options, SystemCalls& sys) {
  const std::string& path = target.path;
  const std::optional<std::wstring> wide = WideFromUtf8(path);
  if (path.empty() || !wide) throw failures::BadFileName(device);

  const bool inDeviceNamespace = IsDeviceNamespacePath(path);
  HandleOutput how;
  how.stall = options.stallTimeout;
  how.cancelFd = options.cancelFd;
  how.serial = IsSerialPortPath(path);
  // Settings are for serial ports only: nothing else is opened with them.
  if (target.serial && !how.serial) throw failures::NotASerialLine(device);
  // Serial status calls (the output queue, discarding it) need read access as well.
  const DWORD access = how.serial ? GENERIC_READ | GENERIC_WRITE : GENERIC_WRITE;
  // Never create a file where a device should be: a missing \\.\COM7 is an error, not a file.
  // Not truncated yet: a file is emptied only once it is ours.
  const DWORD disposition = inDeviceNamespace ? OPEN_EXISTING : OPEN_ALWAYS;
  const HANDLE handle =
      sys.CreateFileW(wide->c_str(), access, /*share=*/0, disposition, FILE_FLAG_OVERLAPPED);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    // Windows refuses to open a folder for writing with "access denied".
    if (error == ERROR_ACCESS_DENIED && !inDeviceNamespace && IsDirectory(sys, *wide))
      throw failures::FromErrno(EISDIR, device, Stage::Open);
    throw FromWindowsError(error, device, Stage::Open, /*heldPort=*/inDeviceNamespace);
  }

  const DWORD type = sys.GetFileType(handle);
  how.seekable = type == FILE_TYPE_DISK;
  if (how.seekable && !sys.SetEndOfFile(handle)) {
    const DWORD error = ::GetLastError();
    sys.CloseHandle(handle);
    throw FromWindowsError(error, device, Stage::Open);
  }
  auto out = std::make_unique<HandleDevice>(sys, handle, std::string(device), how);
  if (target.serial) out->SetSerial(*target.serial);
  return out;
}

std::unique_ptr<OutputDevice> OpenPortDevice(const DeviceTarget& port, const ChannelOptions& options,
                                             SystemCalls& sys) {
  if (port.path.empty()) throw failures::BadPortName(port.portName);
  DeviceTarget opened = port;
  opened.kind = DeviceTarget::Kind::Path;
  opened.path = WindowsPortPath(port);
  try {
    return OpenHandleDevice(opened, port.portName, options, sys);
  } catch (const PrintFailure& failure) {
    if (failure.code() == FailureCode::NotFound)
      throw failures::PortMissing(port.portName, opened.path);
    throw;
  }
}

}  // namespace qrticket
