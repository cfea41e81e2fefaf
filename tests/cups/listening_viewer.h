// The virtual printer as a raw network printer: qrticket-view --listen on 127.0.0.1, a free
// port, its pictures in a folder of the test's own.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "run_program.h"
#include "temp_dir.h"

namespace qrticket::testing {

class ListeningViewer {
 public:
  // Starts it and waits (bounded) until it says which port it listens on.
  explicit ListeningViewer(const std::string& program);
  bool ok() const { return port_ > 0; }
  int port() const { return port_; }
  // Its output so far, for failure messages.
  std::string Log() const;
  // The picture of ticket `n` (1 for the first), once it has been written; empty after `bound`.
  std::filesystem::path WaitForTicket(int n, std::chrono::milliseconds bound);

 private:
  TempDir dir_;
  std::unique_ptr<BackgroundProgram> viewer_;
  int port_ = -1;
};

}  // namespace qrticket::testing
