// Which devices can answer: network printers and local character devices. Files, FIFOs,
// standard output and print queues cannot.
#include "status/status_link.h"

#include <sys/stat.h>

#include <cctype>
#include <cerrno>

#include "devices/device_failures.h"
#include "devices/posix/device_folder.h"
#include "devices/device_name.h"
#include "devices/posix/device_node.h"
#include "status/posix/local_status_link.h"
#include "status/status_failures.h"
#include "status/posix/tcp_status_link.h"

namespace qrticket {
namespace {

using failures::NoWayBack;

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  return true;
}

std::unique_ptr<StatusLink> OpenPath(const std::string& path, std::string_view device,
                                     SystemCalls& sys, int cancelFd,
                                     const std::optional<SerialSettings>& serial) {
  if (path.empty() || path.find('\0') != std::string::npos) throw failures::BadFileName(device);
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    const int error = errno;
    // A missing device is an error; a missing file is one a ticket would create.
    if (path.rfind("/dev/", 0) == 0 || WouldCreateInDeviceFolder(path) || error != ENOENT)
      throw failures::FromErrno(error, device, failures::Stage::Open);
    throw failures::NoReturnChannel(device, NoWayBack::File);
  }
  if (S_ISDIR(st.st_mode)) throw failures::FromErrno(EISDIR, device, failures::Stage::Open);
  if (S_ISFIFO(st.st_mode)) throw failures::NoReturnChannel(device, NoWayBack::Fifo);
  if (!S_ISCHR(st.st_mode)) throw failures::NoReturnChannel(device, NoWayBack::File);
  return OpenLocalStatusLink(path, device, sys, cancelFd, serial);
}

}  // namespace

std::unique_ptr<StatusLink> OpenStatusLink(std::string_view name, const StatusOptions& options,
                                           SystemCalls& sys) {
  // A queue of the print spooler passes jobs on and brings nothing back.
  if (StartsWithIgnoringCase(name, "cups:"))
    throw failures::NoReturnChannel(name, NoWayBack::PrintQueue);
  const DeviceTarget target = ResolveDeviceName(name);
  switch (target.kind) {
    case DeviceTarget::Kind::Tcp:
      return OpenTcpStatusLink(target, name, options, sys);
    case DeviceTarget::Kind::Path:
      return OpenPath(target.path, name, sys, options.cancelFd, target.serial);
    case DeviceTarget::Kind::StandardOutput:
      throw failures::NoReturnChannel(name, NoWayBack::StandardOutput);
    case DeviceTarget::Kind::Cups:
      throw failures::NoReturnChannel(name, NoWayBack::PrintQueue);
    case DeviceTarget::Kind::Port:
      CheckPortIsThere(target);
      return OpenPath(target.path, target.portName, sys, options.cancelFd, target.serial);
    case DeviceTarget::Kind::Invalid:
      break;
  }
  throw failures::BadFileName(name, target.why);
}

}  // namespace qrticket
