// A CUPS scheduler of the test's own: its own ServerRoot, spool and logs in a temporary
// folder, listening on a free loopback port, started and stopped by the fixture.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "run_program.h"
#include "temp_dir.h"

namespace qrticket::testing {

class PrivateCupsd {
 public:
  // Where cupsd is, or empty when it is not installed (Debian package "cups").
  static std::string FindCupsd();

  // Starts cupsd and waits (bounded) until it takes connections. On failure `error()` says
  // why, with the scheduler's log.
  PrivateCupsd();
  ~PrivateCupsd();  // stops it (SIGTERM, then SIGKILL)
  PrivateCupsd(const PrivateCupsd&) = delete;
  PrivateCupsd& operator=(const PrivateCupsd&) = delete;

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }

  // "127.0.0.1:PORT", for CUPS_SERVER and for -h.
  const std::string& server() const { return server_; }

  // Runs a CUPS command (lpadmin, lpstat, cupsdisable, ...) against this scheduler.
  ProgramRun Command(const std::string& program, std::vector<std::string> args) const;
  // A raw queue (no driver, no filter) printing to `deviceUri`; extra lpadmin arguments after.
  // Fails the current test when lpadmin refuses.
  void AddRawQueue(const std::string& queue, const std::string& deviceUri,
                   std::vector<std::string> extra = {}) const;
  // The jobs of `queue` not yet finished, as lpstat lists them (empty when none).
  std::string PendingJobs(const std::string& queue) const;
  // The scheduler's error log, for failure messages.
  std::string Log() const;

 private:
  TempDir dir_;
  std::string server_;
  std::string error_;
  std::unique_ptr<BackgroundProgram> cupsd_;
};

}  // namespace qrticket::testing
