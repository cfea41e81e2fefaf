// Local outputs on Windows: files, printer ports, serial ports and other device paths.
#pragma once

#include <memory>
#include <string_view>

#include "devices/device_name.h"
#include "devices/output_device.h"

namespace qrticket {

// Opens `target.path` (UTF-8) for overlapped writing. The job claims it alone (no sharing:
// another program holding it, or a second job, fails "busy" and empties nothing). A path in
// the device namespace ("\\.\COM12", "\\.\LPT1") must exist; any other path is created, and a
// disk file is emptied once it is ours. Serial ports keep the speed, parity and flow control
// the system set for them, unless `target.serial` gives settings: the port is then set to them
// for the job (see CommLine), held until the line has had the time to carry the bytes, and put
// back as it was, after a failure too; Windows sends their bytes unchanged. Close() waits, bounded by the
// stall time-out, until a serial port's output queue has drained; a failed or abandoned job
// discards what is still queued, so that closing cannot block. `device` is the name as the
// operator typed it, for messages.
std::unique_ptr<OutputDevice> OpenHandleDevice(const DeviceTarget& target, std::string_view device,
                                               const ChannelOptions& options, SystemCalls& sys);

// A port name ("COM12:", "LPT1"): the port itself, opened as OpenHandleDevice opens a device,
// and named in messages as typed. A number out of range (COM0, COM257, LPT4) is no port, and a
// port Windows does not have fails as missing, naming the port and its path.
std::unique_ptr<OutputDevice> OpenPortDevice(const DeviceTarget& port, const ChannelOptions& options,
                                             SystemCalls& sys);

// "\\.\NAME" or "\\?\NAME": a name in the device namespace, never a file to create.
bool IsDeviceNamespacePath(std::string_view path);

// "\\.\COMn" in any case: a serial port, which wants read access too for its status calls.
bool IsSerialPortPath(std::string_view path);

}  // namespace qrticket
