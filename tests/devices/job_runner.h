// Running one ticket job in a device test and looking at what it left behind.
#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>

#include <sys/types.h>

#include "devices/bytes.h"
#include "devices/output_device.h"
#include "devices/system_calls.h"
#include "ticket/qr_print_settings.h"

namespace qrticket::testing {

// The default ticket, aimed at `device` and carrying `dataText`.
QrPrintSettings TicketTo(const std::string& device, const Bytes& dataText);

// The longest data text a ticket can carry (32,764 characters), in a pattern that shows
// where bytes went missing or came twice.
Bytes LongestDataText();

struct JobOutcome {
  std::optional<std::string> message;  // the failure message, when the job failed
  int reports = 0;                     // how many times the job reported a failure
  std::chrono::milliseconds elapsed{0};
};

// Runs PrintQrTest and times it.
JobOutcome RunJob(const QrPrintSettings& settings, const ChannelOptions& options,
                  SystemCalls& sys = SystemCalls::Real());

// Waits for the child process `child` to end, for at most `bound`; kills it after that.
// Returns its wait status, or nullopt when it had to be killed.
std::optional<int> WaitForChild(pid_t child, std::chrono::milliseconds bound);

// The descriptors this process holds, number -> what it refers to.
std::map<int, std::string> OpenDescriptors();

// Descriptors in `after` that were not in `before`, listed for a failure message; empty when
// the job released everything it opened.
std::string Leaked(const std::map<int, std::string>& before,
                   const std::map<int, std::string>& after);

}  // namespace qrticket::testing
