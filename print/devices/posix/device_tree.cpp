// Small, failure-tolerant readers of the device tree: discovery never fails, a file it
// cannot read just adds nothing.
#include "devices/posix/device_tree.h"

#include <algorithm>
#include <charconv>
#include <fstream>

namespace qrticket::device_tree {

namespace fs = std::filesystem;

fs::path Under(const fs::path& root, std::string_view absolute) {
  while (!absolute.empty() && absolute.front() == '/') absolute.remove_prefix(1);
  return root / absolute;
}

std::optional<std::string> ReadAttribute(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text(4096, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (in.bad()) return std::nullopt;
  text.resize(static_cast<std::size_t>(in.gcount()));
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '\r' ||
                           text.back() == '\t' || text.back() == '\0'))
    text.pop_back();
  return text;
}

std::vector<NumberedEntry> NumberedEntries(const fs::path& dir, std::string_view prefix) {
  std::vector<NumberedEntry> entries;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(dir, error)) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with(prefix) || name.size() == prefix.size()) continue;
    int number = 0;
    const char* first = name.data() + prefix.size();
    const char* last = name.data() + name.size();
    const auto [end, result] = std::from_chars(first, last, number);
    if (result != std::errc() || end != last || *first == '+' || *first == '-') continue;
    entries.push_back({number, name});
  }
  std::sort(entries.begin(), entries.end(),
            [](const NumberedEntry& a, const NumberedEntry& b) { return a.number < b.number; });
  return entries;
}

std::vector<DeviceNode> NumberedNodes(const fs::path& root, std::string_view folder,
                                      std::string_view prefix) {
  std::vector<DeviceNode> nodes;
  for (NumberedEntry& entry : NumberedEntries(Under(root, folder), prefix)) {
    std::string path = std::string(folder) + "/" + entry.name;
    if (IsNode(Under(root, path)))
      nodes.push_back({entry.number, std::move(entry.name), std::move(path)});
  }
  return nodes;
}

bool IsNode(const fs::path& node) {
  std::error_code error;
  const fs::file_status status = fs::status(node, error);
  return !error && fs::exists(status) && !fs::is_directory(status);
}

}  // namespace qrticket::device_tree
