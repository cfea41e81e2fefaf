// A pseudo-terminal as a serial line for tests: the test keeps a descriptor of its own on the
// slave side, to set the line's own settings and to read what a job set (a pty keeps the speed,
// CSTOPB, CRTSCTS and IXON/IXOFF; Linux forces 8 data bits and no parity on it).
#pragma once

#include <cstdint>
#include <string>

#include "devices/line_settings.h"
#include "pty_pair.h"

namespace qrticket::testing {

class SerialPty {
 public:
  SerialPty();  // raw both ways, at 9600
  ~SerialPty();
  SerialPty(const SerialPty&) = delete;
  SerialPty& operator=(const SerialPty&) = delete;

  PtyPair& pty() { return pty_; }
  const std::string& path() const { return pty_.slavePath(); }
  int master() const { return pty_.master(); }

  // The line's settings as they are now, read on the test's own descriptor.
  LineSettings Line() const;
  std::uint32_t Speed() const { return Line().ospeed; }
  // Sets the line's own speed (and CSTOPB when `twoStopBits`).
  void SetSpeed(std::uint32_t speed, bool twoStopBits = false);

 private:
  PtyPair pty_;
  int keeper_ = -1;
};

}  // namespace qrticket::testing
