// Local outputs: files, printer ports, serial ttys, USB printers, FIFOs, standard output.
#pragma once

#include <memory>
#include <string_view>

#include "devices/device_name.h"
#include "devices/output_device.h"

namespace qrticket {

// Opens `target` for writing. A regular file is created or emptied; a device is opened
// without becoming our controlling terminal, and a tty gets output post-processing switched
// off (the kernel would otherwise turn every 0x0A of the QR data into 0x0D 0x0A) while its
// speed, parity and flow control stay as the system set them, unless `target.serial` gives
// settings: the tty is then set to them for the job (see SerialLine; a device that is no tty
// fails and is left alone), held until the line has had the time to carry the bytes, and
// put back as it was, after a failure and an interruption too. Files and devices are claimed
// exclusively for the job (a second job fails "busy" and empties nothing). Close() waits,
// bounded by the stall time-out, until the device has taken everything: a tty's output queue
// drained, a printer driver ready for more (USB printers drop a queued write on close), a
// FIFO's reader done reading. `device` is the name as the operator typed it, for messages.
std::unique_ptr<OutputDevice> OpenFileDevice(const DeviceTarget& target, std::string_view device,
                                             const ChannelOptions& options, SystemCalls& sys);

}  // namespace qrticket
