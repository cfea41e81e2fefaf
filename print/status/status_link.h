// A two-way link to a printer, for asking its status and identity: a network connection, a
// serial port (or pseudo-terminal) or a USB printer opened for reading and writing. The ticket
// itself never goes through here: it keeps its write-only road.
#pragma once

#include <chrono>
#include <memory>
#include <string_view>

#include "devices/bytes.h"
#include "devices/serial_settings.h"
#include "devices/system_calls.h"
#include "status/status_failures.h"

namespace qrticket {

struct StatusOptions {
  // How long one request waits for its answer.
  std::chrono::milliseconds perRequest{1000};
  // Bound on the whole exchange once the link is open: requests not asked by then are left out.
  std::chrono::milliseconds whole{4000};
  // Bound on establishing a network connection.
  std::chrono::milliseconds connectTimeout{5000};
  // Ask who the printer is (GS I) as well as its status (DLE EOT).
  bool identity = true;
  // When 0 or more, every wait also ends, as interrupted, once this descriptor is readable
  // (see ChannelOptions::cancelFd).
  int cancelFd = -1;
};

class StatusLink {
 public:
  using Clock = std::chrono::steady_clock;
  virtual ~StatusLink() = default;  // releases the device without waiting

  // Sends every byte of `bytes` by `deadline`; false when the device would not take them in
  // time. Throws PrintFailure when the device refuses them.
  virtual bool Send(BytesView bytes, Clock::time_point deadline) = 0;

  // Waits until bytes come or `deadline` passes, and appends what came to `into`. False when
  // nothing came by then or the other side has closed. A printer that keeps sending is read
  // one piece per call: the caller's deadline, not the link, ends the exchange. Throws
  // PrintFailure on a device error, once the cancel descriptor is readable, or when the device
  // turns out to have no way back.
  virtual bool Receive(Bytes& into, Clock::time_point deadline) = 0;

  // A serial line, where XON and XOFF may come between and inside answers as flow control;
  // elsewhere those two bytes are data.
  virtual bool CarriesFlowControl() const { return false; }

  // The other side closed the link after it had answered (a printer that hung up).
  virtual bool HungUp() const { return false; }

  // What a printer that left the first status request unanswered for `bound` is told as: a
  // link that can say more about the silence (a USB driver that does not read) says it here.
  virtual PrintFailure Unanswered(std::string_view device, std::chrono::milliseconds bound) const {
    return failures::NoAnswer(device, bound);
  }

  // Sets serial settings on the line for the rest of the exchange (the speed search changes
  // them between tries), dropping what came in before; the port's own come back when the link
  // goes. False, with nothing done, on a link that is no serial line. Throws PrintFailure: what
  // the port refuses (see SerialLine::Apply).
  virtual bool SetSerial(const SerialSettings&) { return false; }
};

// Opens the device named as the operator typed it for asking. Throws PrintFailure: the
// device's own open failures, and "sem canal de retorno" for files, FIFOs, standard output and
// print queues, which nothing can answer through. Nothing is created or emptied.
std::unique_ptr<StatusLink> OpenStatusLink(std::string_view name, const StatusOptions& options,
                                           SystemCalls& sys = SystemCalls::Real());

}  // namespace qrticket
