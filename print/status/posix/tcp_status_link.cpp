// Status requests over a network connection of their own.
#include "status/posix/tcp_status_link.h"

#include <sys/socket.h>

#include "devices/tcp_device.h"
#include "status/posix/fd_status_link.h"

namespace qrticket {
namespace {

class TcpStatusLink final : public FdStatusLink {
 public:
  using FdStatusLink::FdStatusLink;
  ~TcpStatusLink() override { CloseNow(); }

 private:
  // An orderly close, so the printer sees the end of a job that asked and printed nothing.
  // Late answers are read first: unread bytes would turn the close into a reset. A printer
  // that keeps sending gets the reset after a bounded read.
  void BeforeClose() override {
    char buffer[4096];
    for (int reads = 0; reads < 16; ++reads)
      if (sys_.Recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT) <= 0) break;
  }
};

}  // namespace

std::unique_ptr<StatusLink> OpenTcpStatusLink(const DeviceTarget& target, std::string_view device,
                                              const StatusOptions& options, SystemCalls& sys) {
  ChannelOptions channel;
  channel.connectTimeout = options.connectTimeout;
  channel.cancelFd = options.cancelFd;
  const int fd = ConnectTcpSocket(target, device, channel, sys);
  return std::make_unique<TcpStatusLink>(sys, fd, std::string(device), /*socket=*/true,
                                         options.cancelFd);
}

}  // namespace qrticket
