// Asking a raw network printer (tcp://HOST[:PORT]) over a connection of its own.
#pragma once

#include <memory>
#include <string_view>

#include "devices/device_name.h"
#include "status/status_link.h"

namespace qrticket {

// Connects as a ticket job does (same bounds, same failures). The printer gets nothing but
// the requests.
std::unique_ptr<StatusLink> OpenTcpStatusLink(const DeviceTarget& target, std::string_view device,
                                              const StatusOptions& options, SystemCalls& sys);

}  // namespace qrticket
