// A serial printer of the test's own on a pseudo-terminal: it answers DLE EOT only while the
// line is at its speed, and can also stream automatic status blocks or, once at a wrong speed,
// send a byte that looks like a status byte (as junk now and then does), or send line noise.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "serial_pty.h"

namespace qrticket::testing {

struct SerialTestBehaviour {
  std::uint32_t speed = 9600;
  bool silent = false;                  // never answers
  bool automaticStatus = false;         // a status block every 20 ms, at any speed
  bool onceAtEveryWrongSpeed = false;   // the first request at a wrong speed gets 0x12 back
  unsigned noisePerSecond = 0;          // random bytes, unasked, at any speed
};

class SerialTestPrinter {
 public:
  explicit SerialTestPrinter(SerialTestBehaviour behaviour);
  ~SerialTestPrinter();
  SerialTestPrinter(const SerialTestPrinter&) = delete;
  SerialTestPrinter& operator=(const SerialTestPrinter&) = delete;

  SerialPty& line() { return line_; }
  const std::string& path() const { return line_.path(); }
  // The line's speed at each DLE EOT that came, in order.
  std::vector<std::uint32_t> requestSpeeds();

 private:
  void Serve();

  SerialTestBehaviour behaviour_;
  SerialPty line_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<std::uint32_t> requestSpeeds_;
  std::thread thread_;
};

}  // namespace qrticket::testing
