// "Schedulers" on 127.0.0.1 that take the connection and then answer badly: never, or one byte
// of an HTTP response that never ends every `step`. For the bounds on CUPS requests; nothing
// leaves this machine, and each stops by itself after a minute.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qrticket::testing {

class FakeScheduler {
 public:
  enum class Kind { Silent, Trickle };
  explicit FakeScheduler(Kind kind, std::chrono::milliseconds step = std::chrono::milliseconds(1500));
  ~FakeScheduler();
  FakeScheduler(const FakeScheduler&) = delete;
  FakeScheduler& operator=(const FakeScheduler&) = delete;

  bool ok() const { return listener_ >= 0; }
  // "127.0.0.1:PORT", for CUPS_SERVER.
  std::string server() const;
  // Connections taken so far.
  int connections() const { return connections_; }

 private:
  void Run();
  void Serve(int connection);

  Kind kind_;
  std::chrono::milliseconds step_;
  int listener_ = -1;
  std::uint16_t port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> connections_{0};
  std::mutex mutex_;
  std::vector<std::thread> served_;
  std::thread thread_;
};

}  // namespace qrticket::testing
