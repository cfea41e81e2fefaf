// The part of a status link that is the same for sockets, ttys and USB printers: bounded
// sending and receiving on one non-blocking descriptor.
#pragma once

#include <string>

#include "status/status_link.h"

namespace qrticket {

class FdStatusLink : public StatusLink {
 public:
  // `socket`: send(2) without SIGPIPE and recv(2); otherwise write(2) and read(2). The link
  // owns `fd` from here on; `device` is the name as typed, for messages. Waits end as
  // interrupted once `cancelFd` (if 0 or more) is readable.
  FdStatusLink(SystemCalls& sys, int fd, std::string device, bool socket, int cancelFd = -1);
  ~FdStatusLink() override;
  FdStatusLink(const FdStatusLink&) = delete;
  FdStatusLink& operator=(const FdStatusLink&) = delete;

  bool Send(BytesView bytes, Clock::time_point deadline) override;
  bool Receive(Bytes& into, Clock::time_point deadline) override;
  bool HungUp() const override { return ended_; }

 protected:
  // What the end of input means: a network printer that hung up (no more answers), or a local
  // device that never answers (no way back; throws). `answered_` tells whether bytes came first.
  virtual void AtEndOfInput() {}
  // Run once before the descriptor is closed.
  virtual void BeforeClose() {}
  // Call from a derived destructor, so that its BeforeClose still runs.
  void CloseNow();

  SystemCalls& sys_;
  int fd_;
  std::string device_;
  bool socket_;
  int cancelFd_;
  bool ended_ = false;
  bool answered_ = false;  // some byte came back since the link was opened
};

}  // namespace qrticket
