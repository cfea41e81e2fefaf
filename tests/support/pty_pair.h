// A real pseudo-terminal for device tests: the job writes to the slave path, the test reads
// (or refuses to read) on the master.
#pragma once

#include <chrono>
#include <string>

namespace qrticket::testing {

class PtyPair {
 public:
  PtyPair();  // throws std::runtime_error when no pseudo-terminal can be had
  ~PtyPair();
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  const std::string& slavePath() const { return slavePath_; }
  int master() const { return master_; }
  void CloseMaster();

  // Reads from the master until `count` bytes have come or `bound` has passed.
  std::string ReadMaster(std::size_t count, std::chrono::milliseconds bound);

 private:
  int master_ = -1;
  std::string slavePath_;
};

}  // namespace qrticket::testing
