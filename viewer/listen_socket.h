// The network printer's sockets, one file per platform (posix/listen_socket.cpp with poll() and
// a self-pipe, win/listen_socket.cpp with Winsock events): a listening socket whose Stop() ends
// every wait at once, from any thread or a signal handler, and connections whose every wait
// ends at a time-out or at that stop.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>

#include "devices/bytes.h"

namespace qrticket::viewer {

// Raised with a Portuguese description when the server cannot start or a PNG cannot be saved.
class ListenError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One accepted connection; closed when the object goes (never retried).
class Connection {
 public:
  enum class Got {
    Bytes,    // `size` bytes are in the buffer
    Closed,   // the sender closed (or reset) the connection: the job is complete
    Idle,     // nothing came for the idle time
    Stopped,  // the listening socket was stopped
  };
  struct Read {
    Got got;
    std::size_t size = 0;
  };

  struct Handle;  // the platform's socket
  Connection(std::unique_ptr<Handle> handle, std::string peer);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // "127.0.0.1:54321", "[::1]:54321".
  const std::string& peer() const { return peer_; }
  // Waits up to `idle` for bytes and reads at most `capacity` of them into `buffer`.
  Read ReadSome(char* buffer, std::size_t capacity, std::chrono::milliseconds idle);
  // Writes `bytes` to the sender within a second; what it does not take is dropped.
  void SendBack(BytesView bytes);

 private:
  std::unique_ptr<Handle> handle_;
  std::string peer_;
};

class ListenSocket {
 public:
  // Binds and listens at once ("127.0.0.1", "::1", "0.0.0.0"; port 0 for any free one).
  // Throws ListenError.
  ListenSocket(const std::string& address, int port);
  ~ListenSocket();
  ListenSocket(const ListenSocket&) = delete;
  ListenSocket& operator=(const ListenSocket&) = delete;

  int port() const { return port_; }
  // Where it listens, as "127.0.0.1:9100" or "[::1]:9100": what follows tcp:// for qrticket.
  const std::string& address() const { return address_; }

  // Waits up to `wait` for a connection; null when none came, or after Stop().
  std::unique_ptr<Connection> Accept(std::chrono::milliseconds wait);

  // Wakes every wait of this socket and of its connections, now and later. Safe from any
  // thread and from a signal handler.
  void Stop() noexcept;
  bool Stopped() const noexcept;

  struct Handles;  // the platform's sockets and wake-up

 private:
  std::unique_ptr<Handles> handles_;
  int port_ = 0;
  std::string address_;
};

}  // namespace qrticket::viewer
