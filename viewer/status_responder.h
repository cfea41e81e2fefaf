// The virtual printer's answers to status and identity requests, as a receipt printer gives
// them on its network port: DLE EOT 1 to 4 (real-time, answered wherever they come) and GS I
// (answered in turn, and only while on line). The state it reports can be set, so that the
// command line and the window can be tried on a printer without paper or with its cover open.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qrticket::viewer {

enum class SimulatedState { Ready, PaperOut, PaperNearEnd, CoverOpen, Offline, Silent };

// "paper-out", "paper-near-end", "cover-open", "offline", "silent" (and "ready").
std::optional<SimulatedState> SimulatedStateNamed(std::string_view name);
std::string_view SimulatedStateName(SimulatedState state);

// What the virtual printer calls itself.
inline constexpr std::string_view kMakerName = "qrticket";
inline constexpr std::string_view kModelName = "qrticket-view";

// One connection's worth of listening: feed it the bytes as they arrive, send back what it
// returns. Requests split over several reads are answered once whole.
class StatusResponder {
 public:
  explicit StatusResponder(SimulatedState state = SimulatedState::Ready);

  // The bytes to send back for the requests completed by `bytes` (often none).
  std::string Feed(std::string_view bytes);

  // Something came, and all of it was status or identity requests: nothing to draw.
  bool OnlyRequests() const { return requestBytes_ > 0 && requestBytes_ == totalBytes_; }

  // For the report: one line per request, and a line when the simulated state would keep a
  // real printer from printing.
  std::vector<std::string> Notes() const;

 private:
  void Answer(std::uint8_t group, std::uint8_t n, std::string& out);
  void Command(unsigned char byte, std::string& out);

  SimulatedState state_;
  std::size_t totalBytes_ = 0;
  std::size_t requestBytes_ = 0;
  // DLE EOT is spotted on every byte; the rest of the commands are followed only as far as
  // needed to step over the data of commands that carry some (QR data, raster images).
  unsigned char previous_[2] = {0, 0};
  std::string command_;
  std::size_t skip_ = 0;
  std::vector<std::string> notes_;
};

}  // namespace qrticket::viewer
