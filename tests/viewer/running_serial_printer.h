// The virtual serial printer on a thread of the test, with the jobs it finished.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "posix/serial_printer.h"
#include "temp_dir.h"

namespace qrticket::viewer::testing {

class RunningSerialPrinter {
 public:
  explicit RunningSerialPrinter(const SerialSettings& settings,
                                SimulatedState state = SimulatedState::Ready)
      : printer_(Options(settings, state, dir_.path())) {
    thread_ = std::thread([this] {
      printer_.Run([this](const ListenJob& job) {
        std::lock_guard lock(mutex_);
        jobs_.push_back(job);
        changed_.notify_all();
      });
    });
  }
  ~RunningSerialPrinter() {
    printer_.Stop();
    thread_.join();
  }
  RunningSerialPrinter(const RunningSerialPrinter&) = delete;
  RunningSerialPrinter& operator=(const RunningSerialPrinter&) = delete;

  const std::string& path() const { return printer_.path(); }

  // Waits (bounded) until `count` jobs have finished; returns them all.
  std::vector<ListenJob> WaitForJobs(std::size_t count,
                                     std::chrono::milliseconds bound = std::chrono::seconds(5)) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, bound, [&] { return jobs_.size() >= count; });
    return jobs_;
  }

 private:
  static SerialPrinterOptions Options(const SerialSettings& settings, SimulatedState state,
                                      const std::filesystem::path& dir) {
    SerialPrinterOptions options;
    options.settings = settings;
    options.simulate = state;
    options.outDir = dir;
    options.quiet = std::chrono::milliseconds(300);
    return options;
  }

  qrticket::testing::TempDir dir_;
  SerialPrinter printer_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<ListenJob> jobs_;
};

}  // namespace qrticket::viewer::testing
