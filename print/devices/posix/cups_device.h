// CUPS queues as devices: "cups:QUEUE", and "cups:" for the default destination.
#pragma once

#include <memory>

#include "devices/device_name.h"
#include "devices/output_device.h"

namespace qrticket {

// Connects to the scheduler (within options.connectTimeout) and checks that the queue exists;
// the default destination is the one lp(1) would use. The bytes are held until Close(),
// which sends them as one raw job (document-format application/vnd.cups-raw: no filter
// touches a byte) and succeeds only once CUPS reports the job completed. A job that makes no
// progress for the stall time-out (a stopped queue, a printer that does not answer) fails, and
// so does a job that is held, cancelled or aborted, each quoting CUPS's own reason. Any
// failure after the job was submitted cancels it, so it cannot print later. A device dropped
// before Close() submits nothing.
std::unique_ptr<OutputDevice> OpenCupsDevice(const DeviceTarget& target,
                                             const ChannelOptions& options);

}  // namespace qrticket
