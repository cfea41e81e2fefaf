// Reading /dev and /sys under a root folder: the real "/" or a test's fake tree.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qrticket::device_tree {

// `absolute` ("/dev/usb") inside `root`.
std::filesystem::path Under(const std::filesystem::path& root, std::string_view absolute);

// A sysfs or procfs attribute without its trailing white space; nullopt when it cannot be
// read. Reads at most a page, as the kernel never returns more for one attribute.
std::optional<std::string> ReadAttribute(const std::filesystem::path& file);

struct NumberedEntry {
  int number;
  std::string name;  // "lp2"
};

// The entries of `dir` named `prefix` followed by a decimal number, in numeric order (lp2
// before lp10). Empty when `dir` cannot be read.
std::vector<NumberedEntry> NumberedEntries(const std::filesystem::path& dir,
                                           std::string_view prefix);

// A numbered device node that exists.
struct DeviceNode {
  int number;
  std::string name;  // "lp0"
  std::string path;  // "/dev/usb/lp0": the real path, without the root
};

// The nodes `folder`/`prefix`N under `root` that exist (IsNode), in numeric order.
std::vector<DeviceNode> NumberedNodes(const std::filesystem::path& root, std::string_view folder,
                                      std::string_view prefix);

// True when `node` exists and is no folder (device nodes, and the FIFOs, ptys and files
// that stand in for them in tests).
bool IsNode(const std::filesystem::path& node);

}  // namespace qrticket::device_tree
