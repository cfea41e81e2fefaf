// The test's own serial printer.
#include "serial_test_printer.h"

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <string>
#include <set>

namespace qrticket::testing {
namespace {

void Send(int fd, const std::string& bytes) {
  [[maybe_unused]] const ssize_t sent = ::write(fd, bytes.data(), bytes.size());
}

}  // namespace

SerialTestPrinter::SerialTestPrinter(SerialTestBehaviour behaviour) : behaviour_(behaviour) {
  line_.SetSpeed(behaviour.speed);
  thread_ = std::thread([this] { Serve(); });
}

SerialTestPrinter::~SerialTestPrinter() {
  stop_ = true;
  thread_.join();
}

std::vector<std::uint32_t> SerialTestPrinter::requestSpeeds() {
  std::lock_guard lock(mutex_);
  return requestSpeeds_;
}

void SerialTestPrinter::Serve() {
  using Clock = std::chrono::steady_clock;
  auto nextBlock = Clock::now();
  auto nextNoise = Clock::now();
  std::mt19937 random(27);
  std::string seen;  // the last two bytes, for a DLE EOT split over reads
  std::set<std::uint32_t> wrongSpeedsAnswered;
  char buffer[256];
  while (!stop_) {
    if (behaviour_.automaticStatus && Clock::now() >= nextBlock) {
      Send(line_.master(), std::string("\x10\x00\x00\x0F", 4));  // on line, no error
      nextBlock = Clock::now() + std::chrono::milliseconds(20);
    }
    if (behaviour_.noisePerSecond > 0) {
      const auto period = std::chrono::microseconds(1'000'000 / behaviour_.noisePerSecond);
      std::string noise;
      for (; nextNoise <= Clock::now(); nextNoise += period)
        noise += static_cast<char>(random() & 0xFF);
      Send(line_.master(), noise);
    }
    pollfd p{line_.master(), POLLIN, 0};
    if (::poll(&p, 1, behaviour_.noisePerSecond > 0 ? 1 : 5) <= 0) continue;
    const ssize_t got = ::read(line_.master(), buffer, sizeof buffer);
    if (got <= 0) continue;
    const std::uint32_t speed = line_.Speed();
    for (ssize_t i = 0; i < got; ++i) {
      seen += buffer[i];
      if (seen.size() > 3) seen.erase(0, seen.size() - 3);
      if (seen.size() < 3 || seen[0] != 0x10 || seen[1] != 0x04 || seen[2] < 1 || seen[2] > 4)
        continue;
      {
        std::lock_guard lock(mutex_);
        requestSpeeds_.push_back(speed);
      }
      seen.clear();
      if (behaviour_.silent) continue;
      if (speed == behaviour_.speed) {
        Send(line_.master(), "\x12");
      } else if (behaviour_.onceAtEveryWrongSpeed && wrongSpeedsAnswered.insert(speed).second) {
        Send(line_.master(), "\x12");
      }
    }
  }
}

}  // namespace qrticket::testing
