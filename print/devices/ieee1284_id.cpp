// IEEE 1284 device IDs, as USB printers (and parallel ports that probe one) report them.
#include "devices/ieee1284_id.h"

#include <cctype>

namespace qrticket {
namespace {

// The keys of the fields we use; 1284 allows the short and the long form of each.
struct Field {
  std::string_view key;
  std::string Ieee1284Id::*member;
};
constexpr Field kFields[] = {
    {"MFG", &Ieee1284Id::make},        {"MANUFACTURER", &Ieee1284Id::make},
    {"MDL", &Ieee1284Id::model},       {"MODEL", &Ieee1284Id::model},
    {"CMD", &Ieee1284Id::commandSet},  {"COMMAND SET", &Ieee1284Id::commandSet},
    {"DES", &Ieee1284Id::description}, {"DESCRIPTION", &Ieee1284Id::description},
};

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace

Ieee1284Id ParseIeee1284Id(std::string_view text) {
  Ieee1284Id id;
  while (!text.empty()) {
    const auto end = text.find_first_of(";\n");
    const std::string_view piece = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    const auto colon = piece.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string_view key = Trim(piece.substr(0, colon));
    const std::string_view value = Trim(piece.substr(colon + 1));
    for (const Field& field : kFields) {
      std::string& slot = id.*field.member;
      if (EqualsIgnoringCase(key, field.key) && slot.empty()) slot = std::string(value);
    }
  }
  return id;
}

std::string PrinterName(const Ieee1284Id& id) {
  if (id.model.empty()) return id.make.empty() ? id.description : id.make;
  if (id.make.empty() || StartsWithIgnoringCase(id.model, id.make)) return id.model;
  return id.make + " " + id.model;
}

}  // namespace qrticket
