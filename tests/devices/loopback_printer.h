// Printers on the loopback interface for tests: one that reads (fast, slowly, never), one that
// hangs up or resets mid-ticket, a port that refuses and a listener whose backlog is full.
// Everything binds to 127.0.0.1 or ::1 only.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qrticket::testing {

using Clock = std::chrono::steady_clock;

struct PrinterBehaviour {
  enum class Kind {
    ReadAll,     // reads as fast as it can until the job closes
    ReadSlowly,  // reads `chunk` bytes, pauses, reads again
    NeverRead,   // accepts and takes nothing; closes once the job has ended its side
    Ignore,      // accepts, takes nothing and keeps the connection open until the job resets it
    CloseAfter,  // reads `afterBytes`, then closes (bytes still arriving get a reset)
    ResetAfter,  // reads `afterBytes`, then resets the connection (SO_LINGER 0)
    ReadAllKeepOpen,  // reads everything, and keeps its side open after the job's end
    ReadLate,    // reads nothing for `pause`, then everything
  };
  Kind kind = Kind::ReadAll;
  std::size_t afterBytes = 0;
  std::size_t chunk = 1024;
  std::chrono::milliseconds pause{100};
  int receiveBuffer = 0;  // SO_RCVBUF set on the listener before listen(); 0 keeps the default
  bool ipv6 = false;      // listen on ::1 instead of 127.0.0.1
};

// A listener that accepts one connection on its own thread and treats it as told.
class LoopbackPrinter {
 public:
  explicit LoopbackPrinter(PrinterBehaviour behaviour = {});
  ~LoopbackPrinter();  // stops the thread (bounded) and closes everything
  LoopbackPrinter(const LoopbackPrinter&) = delete;
  LoopbackPrinter& operator=(const LoopbackPrinter&) = delete;

  // False when the listener could not be set up (no IPv6 on this machine, for instance).
  bool ok() const { return listener_ >= 0; }
  std::uint16_t port() const { return port_; }
  // "tcp://127.0.0.1:PORT" or "tcp://[::1]:PORT".
  std::string DeviceName() const;

  // Waits until the job has connected. False when that did not happen within `bound`.
  bool WaitConnected(std::chrono::milliseconds bound) const;

  // Waits until the connection has ended from the job's side (end of stream or reset) and the
  // thread has finished with it. False when that did not happen within `bound`.
  bool WaitFinished(std::chrono::milliseconds bound);

  // Valid once WaitFinished returned true (for ReadAllKeepOpen, what it has read so far).
  std::string received() const;
  bool sawReset() const { return sawReset_; }
  bool sawEndOfStream() const { return sawEof_; }
  // When the last byte was read by the printer's program (not merely by its kernel).
  Clock::time_point lastByteReadAt() const { return lastByteReadAt_; }

 private:
  void Run();
  int Accept();
  void Serve(int connection);
  bool ReadSome(int connection, std::size_t limit);
  void WaitForHangUp(int connection);
  void WaitForReset(int connection);

  PrinterBehaviour behaviour_;
  int listener_ = -1;
  std::uint16_t port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<bool> connected_{false};
  std::atomic<bool> finished_{false};
  mutable std::mutex mutex_;
  std::string received_;
  bool sawReset_ = false;
  bool sawEof_ = false;
  Clock::time_point lastByteReadAt_{};
  std::thread thread_;
};

// A port on 127.0.0.1 with a socket bound to it but not listening: connections are refused.
class RefusingPort {
 public:
  RefusingPort();
  ~RefusingPort();
  RefusingPort(const RefusingPort&) = delete;
  RefusingPort& operator=(const RefusingPort&) = delete;
  std::string DeviceName() const;

 private:
  int socket_ = -1;
  std::uint16_t port_ = 0;
};

// A listener on 127.0.0.1 that never accepts and tells whether anyone has connected: a
// connection is made by the kernel, so it is waiting in the backlog as soon as connect() ends.
class QuietListener {
 public:
  QuietListener();
  ~QuietListener();
  QuietListener(const QuietListener&) = delete;
  QuietListener& operator=(const QuietListener&) = delete;
  std::uint16_t port() const { return port_; }
  bool SawAConnection() const;

 private:
  int listener_ = -1;
  std::uint16_t port_ = 0;
};

// A listener on 127.0.0.1 that never accepts, with its backlog filled, so a further connect
// gets no answer at all (the SYN is dropped) until it times out.
class FullBacklogListener {
 public:
  FullBacklogListener();
  ~FullBacklogListener();
  FullBacklogListener(const FullBacklogListener&) = delete;
  FullBacklogListener& operator=(const FullBacklogListener&) = delete;
  // False when the backlog could not be seen to be full.
  bool ok() const { return full_; }
  std::string DeviceName() const;

 private:
  int listener_ = -1;
  std::uint16_t port_ = 0;
  std::vector<int> fillers_;
  bool full_ = false;
};

}  // namespace qrticket::testing
