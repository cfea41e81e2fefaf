// A fake /dev, /sys and /proc in a temporary folder for discovery and port tests: FIFOs and
// pseudo-terminals stand in for devices, plain files for sysfs attributes.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "pty_pair.h"
#include "temp_dir.h"

namespace qrticket::testing {

class FakeDeviceTree {
 public:
  FakeDeviceTree();  // traversable by every user, so tests may read it as "nobody"
  const std::filesystem::path& root() const { return dir_.path(); }
  // `absolute` ("/dev/ttyS0") inside the tree.
  std::filesystem::path At(const std::string& absolute) const;

  // A FIFO at `absolute`, with the given mode and group (by name; root when empty).
  void Fifo(const std::string& absolute, mode_t mode = 0666, const std::string& group = {});
  // A symbolic link at `absolute` to a new pseudo-terminal, whose master the tree keeps.
  PtyPair& Pty(const std::string& absolute);
  // A file holding `text` (a sysfs attribute, a device ID).
  void File(const std::string& absolute, const std::string& text);
  // A symbolic link at `absolute` pointing to `target`, as written (relative, like udev's).
  void Link(const std::string& absolute, const std::string& target);
  void Folder(const std::string& absolute);

 private:
  void Parent(const std::filesystem::path& path);
  TempDir dir_;
  std::vector<std::unique_ptr<PtyPair>> ptys_;
};

}  // namespace qrticket::testing
