// Reading and writing MODE's form of serial settings.
#include "devices/serial_settings.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace qrticket {
namespace {

using Parity = SerialSettings::Parity;
using StopBits = SerialSettings::StopBits;
using Flow = SerialSettings::Flow;

constexpr std::pair<char, Parity> kParities[] = {
    {'n', Parity::None}, {'e', Parity::Even}, {'o', Parity::Odd},
    {'m', Parity::Mark}, {'s', Parity::Space},
};
constexpr std::pair<char, Flow> kFlows[] = {
    {'n', Flow::None},   {'x', Flow::XonXoff},  {'r', Flow::RtsCts},
    {'d', Flow::DtrDsr}, {'p', Flow::Hardware},
};
constexpr std::pair<std::string_view, StopBits> kStopBits[] = {
    {"1", StopBits::One}, {"1.5", StopBits::OnePointFive}, {"2", StopBits::Two},
};

std::string_view TrimSpaces(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string_view> Fields(std::string_view text) {
  std::vector<std::string_view> fields;
  for (;;) {
    const auto comma = text.find(',');
    fields.push_back(TrimSpaces(text.substr(0, comma)));
    if (comma == std::string_view::npos) return fields;
    text.remove_prefix(comma + 1);
  }
}

// One letter of `table`, in either case.
template <typename Value, std::size_t N>
std::optional<Value> Letter(std::string_view field, const std::pair<char, Value> (&table)[N]) {
  if (field.size() != 1) return std::nullopt;
  const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(field.front())));
  for (const auto& [letter, value] : table)
    if (letter == c) return value;
  return std::nullopt;
}

template <typename Value, std::size_t N>
char LetterOf(Value value, const std::pair<char, Value> (&table)[N]) {
  for (const auto& [letter, v] : table)
    if (v == value) return letter;
  return '?';
}

std::optional<std::uint32_t> Speed(std::string_view field) {
  if (field.empty() || field.size() > 8 || field.find_first_not_of("0123456789") != std::string_view::npos)
    return std::nullopt;
  std::uint32_t value = 0;
  for (const char c : field) value = value * 10 + static_cast<std::uint32_t>(c - '0');
  if (value < kLowestSerialSpeed || value > kHighestSerialSpeed) return std::nullopt;
  return value;
}

SerialSettingsParse Wrong(SerialField field, std::string_view value) {
  SerialSettingsParse parse;
  parse.field = field;
  parse.value = std::string(value);
  return parse;
}

}  // namespace

SerialSettingsParse ParseSerialSettings(std::string_view text) {
  const std::vector<std::string_view> fields = Fields(text);
  SerialSettings s;
  const auto speed = Speed(fields[0]);
  if (!speed) return Wrong(SerialField::Speed, fields[0]);
  s.speed = *speed;
  if (fields.size() > 1 && !fields[1].empty()) {
    const auto parity = Letter(fields[1], kParities);
    if (!parity) return Wrong(SerialField::Parity, fields[1]);
    s.parity = *parity;
  }
  if (fields.size() > 2 && !fields[2].empty()) {
    if (fields[2].size() != 1 || fields[2][0] < '5' || fields[2][0] > '8')
      return Wrong(SerialField::DataBits, fields[2]);
    s.dataBits = fields[2][0] - '0';
  }
  if (fields.size() > 3 && !fields[3].empty()) {
    bool known = false;
    for (const auto& [written, stop] : kStopBits) {
      if (fields[3] != written) continue;
      s.stopBits = stop;
      known = true;
    }
    if (!known) return Wrong(SerialField::StopBits, fields[3]);
  }
  if (fields.size() > 4 && !fields[4].empty()) {
    const auto flow = Letter(fields[4], kFlows);
    if (!flow) return Wrong(SerialField::Flow, fields[4]);
    s.flow = *flow;
  }
  if (fields.size() > 5) {
    std::size_t at = 0;  // after the fifth comma: everything there is too much
    for (int comma = 0; comma < 5; ++comma) at = text.find(',', at) + 1;
    return Wrong(SerialField::Extra, TrimSpaces(text.substr(at)));
  }
  SerialSettingsParse parse;
  parse.settings = s;
  return parse;
}

std::string SerialSettingsText(const SerialSettings& s) {
  std::string text = std::to_string(s.speed);
  text += ',';
  text += LetterOf(s.parity, kParities);
  text += ',';
  text += std::to_string(s.dataBits);
  text += ',';
  for (const auto& [written, stop] : kStopBits)
    if (stop == s.stopBits) text += written;
  if (s.flow != Flow::None) {
    text += ',';
    text += LetterOf(s.flow, kFlows);
  }
  return text;
}

bool SpeedsMatch(std::uint32_t a, std::uint32_t b) {
  const std::uint64_t difference = a > b ? a - b : b - a;
  return difference * 100 <= static_cast<std::uint64_t>(a) * 2;
}

int FrameBits(const SerialSettings& s) {
  return 1 + s.dataBits + (s.parity == Parity::None ? 0 : 1) +
         (s.stopBits == StopBits::One ? 1 : 2);
}

std::chrono::milliseconds LineTime(std::uint64_t bytes, const SerialSettings& s) {
  const std::uint64_t bits = bytes * static_cast<std::uint64_t>(FrameBits(s));
  return std::chrono::milliseconds((bits * 1000 + s.speed - 1) / s.speed);
}

std::chrono::milliseconds LineHold(std::uint64_t written, const SerialSettings& s) {
  constexpr std::uint64_t kLineFifoBytes = 128;
  constexpr std::chrono::milliseconds kLeastLineHold{100};
  return LineTime(written, s) + std::max(LineTime(kLineFifoBytes, s), kLeastLineHold);
}

}  // namespace qrticket
