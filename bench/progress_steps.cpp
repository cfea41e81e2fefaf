// How many bytes a slow reader must take before the channel sees progress, per kind of device,
// while the longest ticket goes out. The stall time-out restarts on progress only: a write that
// takes bytes, and while draining a shrinking count (FIONREAD of a FIFO, the unacknowledged
// bytes of a socket; a pseudo-terminal reports none). So the largest step is what the reader
// must take within one time-out: step / time-out is the slowest reader that still gets the
// longest ticket. Prints one line per device.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "ticket/ticket.h"

namespace {

using namespace std::chrono_literals;

// How the channel sees a device: whether a write took bytes, and the count it watches.
struct Device {
  const char* name;
  int writer;
  int reader;
  bool socket;      // unacknowledged bytes (SIOCOUTQ) shrink while writing and draining
  bool drainCount;  // FIONREAD shrinks while draining (a FIFO)
};

ssize_t WriteSome(const Device& d, const char* data, std::size_t size) {
  return d.socket ? ::send(d.writer, data, size, MSG_DONTWAIT | MSG_NOSIGNAL)
                  : ::write(d.writer, data, size);
}

int Count(const Device& d) {
  int count = -1;
  const unsigned long request = d.socket ? TIOCOUTQ : FIONREAD;
  return ::ioctl(d.writer, request, &count) == 0 ? count : -1;
}

// Sends the longest ticket's worth of bytes while the reader takes 64 bytes at a time; returns
// the largest number of bytes read between two moments of progress.
long LargestStep(const Device& d, std::size_t ticketSize) {
  const std::string ticket(ticketSize, 'x');
  std::size_t sent = 0;
  long sinceProgress = 0, largest = 0;
  std::size_t received = 0;
  int lastCount = -1;
  char buffer[64];
  const auto deadline = std::chrono::steady_clock::now() + 120s;
  while (std::chrono::steady_clock::now() < deadline) {
    bool progress = false;
    if (sent < ticket.size()) {
      const ssize_t n = WriteSome(d, ticket.data() + sent, ticket.size() - sent);
      if (n > 0) {
        sent += static_cast<std::size_t>(n);
        progress = true;
      }
    }
    if (d.socket || (d.drainCount && sent == ticket.size())) {
      const int count = Count(d);
      progress = progress || (lastCount >= 0 && count >= 0 && count < lastCount);
      lastCount = count;
      if (sent == ticket.size() && count == 0) break;  // delivered
    } else if (sent == ticket.size()) {
      break;  // a pseudo-terminal that has taken every byte
    }
    if (progress) {
      largest = std::max(largest, sinceProgress);
      sinceProgress = 0;
    }
    const ssize_t got = ::read(d.reader, buffer, sizeof buffer);
    if (got > 0) {
      sinceProgress += got;
      received += static_cast<std::size_t>(got);
    }
    std::this_thread::sleep_for(200us);  // lets the kernel pass the news on (window updates)
  }
  return std::max(largest, sent == ticket.size() ? 0L : sinceProgress);
}

std::size_t longestTicket = 0;

void Measure(const Device& d) {
  const long step = LargestStep(d, longestTicket);
  if (step == 0) {
    std::printf("%-34s takes the whole ticket at once: no reader is too slow\n", d.name);
    return;
  }
  std::printf("%-34s progress every %6ld bytes read: at a 10 s time-out the reader needs %5ld "
              "bytes/s, at 60 s %4ld bytes/s\n",
              d.name, step, (step + 9) / 10, (step + 59) / 60);
}

void Pipe() {
  int fds[2];
  if (::pipe2(fds, O_NONBLOCK) != 0) return;
  Measure({"pipe or FIFO", fds[1], fds[0], false, true});
  ::close(fds[0]);
  ::close(fds[1]);
}

void PseudoTerminal() {
  int master = -1, slave = -1;
  if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) return;
  termios raw{};
  ::tcgetattr(slave, &raw);
  raw.c_oflag &= ~OPOST;  // as the channel sets it
  ::tcsetattr(slave, TCSANOW, &raw);
  ::fcntl(slave, F_SETFL, O_NONBLOCK);
  ::fcntl(master, F_SETFL, O_NONBLOCK);
  Measure({"pseudo-terminal", slave, master, false, false});
  ::close(master);
  ::close(slave);
}

void Loopback(int receiveBuffer) {
  const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  if (receiveBuffer > 0)
    ::setsockopt(listener, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  ::listen(listener, 1);
  const int sender = ::socket(AF_INET, SOCK_STREAM, 0);
  ::connect(sender, reinterpret_cast<sockaddr*>(&address), sizeof address);
  const int printer = ::accept(listener, nullptr, nullptr);
  ::fcntl(sender, F_SETFL, O_NONBLOCK);
  ::fcntl(printer, F_SETFL, O_NONBLOCK);
  char name[64];
  if (receiveBuffer > 0)
    std::snprintf(name, sizeof name, "TCP, printer SO_RCVBUF %d", receiveBuffer);
  else
    std::snprintf(name, sizeof name, "TCP, default buffers (loopback)");
  Measure({name, sender, printer, true, false});
  for (const int fd : {sender, printer, listener}) ::close(fd);
}

}  // namespace

int main() {
  // The longest ticket: 32,764 characters, in the QR block and on the data line.
  qrticket::QrPrintSettings settings;
  settings.dataText = qrticket::Bytes(32764, 'x');
  for (const auto& statement : qrticket::TicketStatements(settings, 6))
    longestTicket += qrticket::FormatStatement(statement).size();
  std::printf("The longest ticket: %zu bytes\n", longestTicket);
  Pipe();
  PseudoTerminal();
  for (const int buffer : {2048, 8192, 16384, 0}) Loopback(buffer);
  return 0;
}
