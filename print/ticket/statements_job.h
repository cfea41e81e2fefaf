// Writes a ticket given as print statements to a device, the way each of our jobs does it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "devices/output_device.h"
#include "devices/print_item.h"
#include "devices/system_calls.h"
#include "ticket/ticket_job.h"

namespace qrticket {

// Lays the ticket out with `layOut` before the device is opened (so a ticket that cannot be
// made leaves the device untouched), then writes it to `deviceName` on one channel. Never
// throws: a failure releases the device first and is then shown once through `reporter`.
void PrintStatements(const std::string& deviceName,
                     const std::function<std::vector<PrintStatement>()>& layOut,
                     FailureReporter& reporter, const ChannelOptions& options, SystemCalls& sys);

}  // namespace qrticket
