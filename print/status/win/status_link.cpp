// Which devices can answer on Windows: network printers, serial ports and USB printers (where
// their driver reads). Installed printers, files and standard output cannot; parallel ports
// and other devices are not asked.
#include "status/status_link.h"

#include <algorithm>
#include <cerrno>
#include <optional>

#include "devices/deadline.h"
#include "devices/device_failures.h"
#include "devices/device_name.h"
#include "devices/win/cancel_event.h"
#include "devices/win/handle_device.h"
#include "devices/win/tcp_connect.h"
#include "devices/win/wide_text.h"
#include "devices/win/win_errors.h"
#include "devices/win/windows_names.h"
#include "status/status_failures.h"
#include "status/win/com_status_link.h"
#include "status/win/handle_exchange.h"
#include "status/win/usb_status_link.h"

namespace qrticket {
namespace {

using failures::NoWayBack;

class WinsockStatusLink final : public StatusLink {
 public:
  WinsockStatusLink(SystemCalls& sys, SOCKET s, std::string device, int cancelFd)
      : sys_(sys), socket_(s), device_(std::move(device)), cancelFd_(cancelFd) {}
  WinsockStatusLink(const WinsockStatusLink&) = delete;
  WinsockStatusLink& operator=(const WinsockStatusLink&) = delete;

  // An orderly close, so the printer sees the end of a job that asked and printed nothing.
  // Late answers are read first (a bounded read): unread bytes would turn it into a reset.
  ~WinsockStatusLink() override {
    char buffer[4096];
    for (int reads = 0; reads < 16; ++reads)
      if (sys_.Recv(socket_, buffer, sizeof buffer) <= 0) break;
    sys_.CloseSocket(socket_);
  }

  bool Send(BytesView bytes, Clock::time_point deadline) override {
    while (!bytes.empty()) {
      const int sent = sys_.Send(socket_, bytes.data(), static_cast<int>(bytes.size()));
      if (sent > 0) {
        bytes.remove_prefix(static_cast<std::size_t>(sent));
        continue;
      }
      const int error = sys_.WSAGetLastError();
      if (sent == 0 || error != WSAEWOULDBLOCK)
        throw FromWindowsError(static_cast<DWORD>(error), device_, failures::Stage::Write);
      const DWORD left = MillisecondsLeft(deadline);
      if (left == 0 || SelectOrCancel(sys_, socket_, /*write=*/true, left, cancelFd_) == 0)
        return false;
    }
    return true;
  }

  bool Receive(Bytes& into, Clock::time_point deadline) override {
    char buffer[256];
    while (!ended_) {
      const int got = sys_.Recv(socket_, buffer, sizeof buffer);
      if (got > 0) {
        into.append(buffer, static_cast<std::size_t>(got));
        return true;
      }
      if (got == 0) {
        ended_ = true;
        return false;
      }
      const int error = sys_.WSAGetLastError();
      if (error != WSAEWOULDBLOCK)
        throw FromWindowsError(static_cast<DWORD>(error), device_, failures::Stage::Write);
      const DWORD left = MillisecondsLeft(deadline);
      if (left == 0) return false;
      if (SelectOrCancel(sys_, socket_, /*write=*/false, left, cancelFd_) == SOCKET_ERROR)
        throw FromWindowsError(static_cast<DWORD>(sys_.WSAGetLastError()), device_,
                               failures::Stage::Write);
    }
    return false;
  }

 private:
  SystemCalls& sys_;
  SOCKET socket_;
  std::string device_;
  int cancelFd_;
  bool ended_ = false;
};

// A path that cannot answer: a folder, a file (one a ticket would create, too) or a device
// other than a serial port. Returns for a serial port.
void RefusePath(const std::string& path, std::string_view device) {
  const std::optional<std::wstring> wide = WideFromUtf8(path);
  if (path.empty() || !wide) throw failures::BadFileName(device);
  const DWORD attributes = ::GetFileAttributesW(wide->c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    throw failures::FromErrno(EISDIR, device, failures::Stage::Open);
  if (IsSerialPortPath(path)) return;
  if (IsDeviceNamespacePath(path)) throw failures::StatusNotOnWindows(device);
  throw failures::NoReturnChannelOnWindows(device, NoWayBack::File);
}

}  // namespace

std::unique_ptr<StatusLink> OpenStatusLink(std::string_view name, const StatusOptions& options,
                                           SystemCalls& sys) {
  // The spooler passes jobs on and brings nothing back.
  if (InstalledPrinterName(name)) throw failures::NoReturnChannelOnWindows(name, NoWayBack::PrintQueue);
  // Whether a USB printer answers through ReadFile is the printer's own: asked, and told as
  // "sem resposta por USB" when it does not.
  if (const std::optional<std::string> printer = UsbPrinterName(name))
    return OpenUsbStatusLink(*printer, name, options, sys);
  const DeviceTarget target = ResolveDeviceName(name);
  switch (target.kind) {
    case DeviceTarget::Kind::Tcp: {
      ChannelOptions channel;
      channel.connectTimeout = options.connectTimeout;
      channel.cancelFd = options.cancelFd;
      const SOCKET s = ConnectWinsockSocket(target, name, channel, sys);
      return std::make_unique<WinsockStatusLink>(sys, s, std::string(name), options.cancelFd);
    }
    case DeviceTarget::Kind::StandardOutput:
      throw failures::NoReturnChannelOnWindows(name, NoWayBack::StandardOutput);
    case DeviceTarget::Kind::Cups:
      throw failures::NoReturnChannelOnWindows(name, NoWayBack::PrintQueue);
    case DeviceTarget::Kind::Port: {
      if (target.path.empty()) throw failures::BadPortName(target.portName);
      const std::string path = WindowsPortPath(target);
      if (!IsSerialPortPath(path)) throw failures::StatusNotOnWindows(target.portName);
      try {
        return OpenComStatusLink(path, target.portName, options, sys, target.serial);
      } catch (const PrintFailure& failure) {
        if (failure.code() == FailureCode::NotFound)
          throw failures::PortMissing(target.portName, path);
        throw;
      }
    }
    case DeviceTarget::Kind::Path:
      RefusePath(target.path, name);
      return OpenComStatusLink(target.path, name, options, sys, target.serial);
    case DeviceTarget::Kind::Invalid:
      break;
  }
  throw failures::BadFileName(name, target.why);
}

}  // namespace qrticket
