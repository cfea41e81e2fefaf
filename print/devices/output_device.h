// One opened output: a file, a port, a network printer, standard output. The channel holds
// bytes back and hands them to a device in large pieces.
#pragma once

#include <chrono>
#include <memory>
#include <string_view>

#include "devices/bytes.h"
#include "devices/system_calls.h"

namespace qrticket {

struct ChannelOptions {
  // A device that takes no byte at all for this long fails the job. Progress is what the
  // device reports: pipes, pseudo-terminals and sockets report room in steps of a few KB, so
  // a very slow reader can look stalled (see the README).
  std::chrono::milliseconds stallTimeout{10000};
  // Bound on establishing a network connection.
  std::chrono::milliseconds connectTimeout{5000};
  // When 0 or more, a descriptor that becomes readable to stop the job: every wait watches it,
  // and the job then fails as interrupted, releasing the device as after any failure (a
  // network connection is reset). On Windows an event, set to stop the job, as a number (see
  // devices/win/cancel_event.h). -1: the job cannot be stopped from outside.
  int cancelFd = -1;
};

class OutputDevice {
 public:
  virtual ~OutputDevice() = default;  // releases the device without waiting or reporting

  // Delivers all of `bytes` in order, or throws PrintFailure; continues after short writes
  // and interrupted calls, and never writes a byte twice.
  virtual void Write(BytesView bytes) = 0;

  // Waits (bounded) until the device has taken everything, then releases it. Throws
  // PrintFailure when delivery or release fails; the device is released either way.
  virtual void Close() = 0;
};

// Opens `name` as the operator typed it (see ResolveDeviceName). Throws PrintFailure.
std::unique_ptr<OutputDevice> OpenOutputDevice(std::string_view name,
                                               const ChannelOptions& options, SystemCalls& sys);

}  // namespace qrticket
