// Connecting to a host's addresses one after another, as the TCP transport does on every
// platform: how each attempt ended, and the failure the attempts make together.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace qrticket {

// How one non-blocking connect to one address ended.
enum class Attempt { Connected, Refused, TimedOut, OtherError };

// The attempts that did not connect, address by address. A refusal from any address wins over
// other errors, so "localhost" with a printer on 127.0.0.1 only still works and a dead port
// says "refused".
class ConnectAttempts {
 public:
  ConnectAttempts(std::string_view device, std::chrono::milliseconds connectTimeout)
      : device_(device), connectTimeout_(connectTimeout) {}

  // Notes an attempt that did not connect; `error` is the system's error of an OtherError.
  // A time-out throws PrintFailure at once: it has used up the connect time-out.
  void Failed(Attempt attempt, int error);

  // After the last address: throws PrintFailure (refused) when any address refused.
  void ThrowIfRefused() const;
  // The system's error of the first attempt that failed otherwise, for the caller to word as
  // its platform's error; none when no attempt got that far.
  std::optional<int> firstError() const { return firstError_; }

 private:
  std::string device_;
  std::chrono::milliseconds connectTimeout_;
  bool refused_ = false;
  std::optional<int> firstError_;
};

}  // namespace qrticket
