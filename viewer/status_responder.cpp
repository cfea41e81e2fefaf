// Answers as the public ESC/POS references describe them. The answer bytes are written out
// per state rather than made from the bit tables of the core, so that the core's decoding is
// checked against an independent source. The report's lines for requests are here too.
#include "status_responder.h"

#include <array>
#include <cstdio>

#include "ticket/publisher.h"

namespace qrticket::viewer {
namespace {

constexpr unsigned char kDle = 0x10, kEot = 0x04, kEsc = 0x1B, kGs = 0x1D;

struct StateRow {
  SimulatedState state;
  std::string_view name;
  // Answers to DLE EOT 1 (printer), 2 (off-line cause), 3 (error cause), 4 (paper sensor).
  // Bits 1 and 4 are always on.
  std::array<std::uint8_t, 4> status;
  bool answers;        // false: silent, never answers anything
  bool online;         // GS I is answered only on line
  std::string_view why;  // why a real printer in this state would not print, or empty
};

constexpr std::array kStates = {
    StateRow{SimulatedState::Ready, "ready", {0x12, 0x12, 0x12, 0x12}, true, true, ""},
    // Off line (0x08), stopped at paper end (0x20), both paper sensors empty (0x0C, 0x60).
    StateRow{SimulatedState::PaperOut, "paper-out", {0x1A, 0x32, 0x12, 0x7E}, true, false,
             "sem papel"},
    // Near-end sensor without paper (0x0C); still on line.
    StateRow{SimulatedState::PaperNearEnd, "paper-near-end", {0x12, 0x12, 0x12, 0x1E}, true,
             true, ""},
    // Off line (0x08) because the cover is open (0x04).
    StateRow{SimulatedState::CoverOpen, "cover-open", {0x1A, 0x16, 0x12, 0x12}, true, false,
             "tampa aberta"},
    StateRow{SimulatedState::Offline, "offline", {0x1A, 0x12, 0x12, 0x12}, true, false,
             "fora de linha"},
    StateRow{SimulatedState::Silent, "silent", {0x12, 0x12, 0x12, 0x12}, false, true, ""},
};

const StateRow& RowOf(SimulatedState state) {
  for (const StateRow& row : kStates)
    if (row.state == state) return row;
  return kStates[0];
}

// GS I n: one byte for 1-3 (and 49-51), a 0x5F ... NUL block for 65-69; nullopt: no answer.
std::optional<std::string> IdentityAnswer(std::uint8_t n) {
  const auto block = [](std::string_view text) {
    std::string out = "\x5F";
    out.append(text);
    out.push_back('\0');
    return out;
  };
  switch (n) {
    case 1: case 49: return std::string(1, '\x40');  // model ID: bits 4 and 7 off
    case 2: case 50: return std::string(1, '\x02');  // type ID: autocutter
    case 3: case 51: return std::string(1, '\x01');  // version ID
    case 65: return block(publisher::kVersion);
    case 66: return block(kMakerName);
    case 67: return block(kModelName);
    case 68: return block("QRV-0001");
    case 69: return block("WPC1252");
    default: return std::nullopt;
  }
}

std::string RequestName(std::uint8_t group, std::uint8_t n) {
  return (group == kDle ? "DLE EOT " : "GS I ") + std::to_string(n);
}

std::string HexOf(std::string_view bytes) {
  std::string out;
  for (const char c : bytes) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%s%02X", out.empty() ? "" : " ",
                  static_cast<unsigned>(static_cast<unsigned char>(c)));
    out += hex;
  }
  return out;
}

std::size_t Little16(unsigned char low, unsigned char high) {
  return static_cast<std::size_t>(low) | static_cast<std::size_t>(high) << 8;
}

}  // namespace

std::optional<SimulatedState> SimulatedStateNamed(std::string_view name) {
  for (const StateRow& row : kStates)
    if (row.name == name) return row.state;
  return std::nullopt;
}

std::string_view SimulatedStateName(SimulatedState state) { return RowOf(state).name; }

StatusResponder::StatusResponder(SimulatedState state) : state_(state) {}

void StatusResponder::Answer(std::uint8_t group, std::uint8_t n, std::string& out) {
  const StateRow& row = RowOf(state_);
  std::optional<std::string> answer;
  if (row.answers && group == kDle && n >= 1 && n <= 4)
    answer = std::string(1, static_cast<char>(row.status[n - 1]));
  else if (row.answers && group == kGs && row.online)
    answer = IdentityAnswer(n);
  if (notes_.size() < 100) {
    notes_.push_back("pedido " + RequestName(group, n) + ": " +
                     (answer ? "respondido " + HexOf(*answer) : std::string("sem resposta")));
  }
  if (answer) out += *answer;
}

// Follows the command stream far enough to answer GS I in turn and to step over the data of
// GS ( (QR codes and other functions with pL pH), ESC Z (woosim QR) and GS v 0 (raster image).
void StatusResponder::Command(unsigned char byte, std::string& out) {
  if (skip_ > 0) {
    --skip_;
    return;
  }
  if (command_.empty()) {
    if (byte == kEsc || byte == kGs) command_.push_back(static_cast<char>(byte));
    return;
  }
  command_.push_back(static_cast<char>(byte));
  const auto at = [this](std::size_t i) { return static_cast<unsigned char>(command_[i]); };
  const std::size_t size = command_.size();
  if (at(0) == kGs && at(1) == 'I') {
    if (size < 3) return;
    requestBytes_ += 3;
    Answer(kGs, at(2), out);
  } else if (at(0) == kGs && at(1) == '(') {
    if (size < 5) return;
    skip_ = Little16(at(3), at(4));
  } else if (at(0) == kEsc && at(1) == 'Z') {
    if (size < 7) return;
    skip_ = Little16(at(5), at(6));
  } else if (at(0) == kGs && at(1) == 'v' && size >= 3 && at(2) == '0') {
    if (size < 8) return;
    skip_ = Little16(at(4), at(5)) * Little16(at(6), at(7));
  } else if (at(0) == kGs && at(1) == 'v' && size < 3) {
    return;
  }
  command_.clear();
}

std::string StatusResponder::Feed(std::string_view bytes) {
  std::string out;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    ++totalBytes_;
    // Real-time: DLE EOT n is acted on as soon as it arrives, even inside other data.
    if (previous_[0] == kDle && previous_[1] == kEot) {
      requestBytes_ += 3;
      Answer(kDle, byte, out);
      previous_[0] = previous_[1] = 0;
    } else {
      previous_[0] = previous_[1];
      previous_[1] = byte;
    }
    Command(byte, out);
  }
  return out;
}

std::vector<std::string> StatusResponder::Notes() const {
  std::vector<std::string> notes;
  const StateRow& row = RowOf(state_);
  if (state_ != SimulatedState::Ready)
    notes.push_back("impressora simulada: " + std::string(row.name));
  if (!row.why.empty() && !OnlyRequests())
    notes.push_back("uma impressora real neste estado (" + std::string(row.why) +
                    ") não imprimiria este talão");
  notes.insert(notes.end(), notes_.begin(), notes_.end());
  return notes;
}

}  // namespace qrticket::viewer
