#include "fake_device_tree.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>

namespace qrticket::testing {

namespace fs = std::filesystem;

FakeDeviceTree::FakeDeviceTree() { fs::permissions(dir_.path(), fs::perms(0755)); }

fs::path FakeDeviceTree::At(const std::string& absolute) const {
  return dir_.path() / absolute.substr(absolute.find_first_not_of('/'));
}

void FakeDeviceTree::Parent(const fs::path& path) {
  fs::create_directories(path.parent_path());
  for (fs::path p = path.parent_path(); p != dir_.path() && p.has_relative_path();
       p = p.parent_path())
    fs::permissions(p, fs::perms(0755));
}

void FakeDeviceTree::Fifo(const std::string& absolute, mode_t mode, const std::string& group) {
  const fs::path path = At(absolute);
  Parent(path);
  if (::mkfifo(path.c_str(), 0600) != 0) throw std::runtime_error("mkfifo " + path.string());
  gid_t gid = 0;
  if (!group.empty()) {
    const struct group* entry = ::getgrnam(group.c_str());
    if (entry == nullptr) throw std::runtime_error("no group " + group);
    gid = entry->gr_gid;
  }
  if (::chown(path.c_str(), ::geteuid(), gid) != 0 || ::chmod(path.c_str(), mode) != 0)
    throw std::runtime_error("chown/chmod " + path.string());
}

PtyPair& FakeDeviceTree::Pty(const std::string& absolute) {
  ptys_.push_back(std::make_unique<PtyPair>());
  Link(absolute, ptys_.back()->slavePath());
  return *ptys_.back();
}

void FakeDeviceTree::File(const std::string& absolute, const std::string& text) {
  const fs::path path = At(absolute);
  Parent(path);
  std::ofstream(path, std::ios::binary) << text;
  fs::permissions(path, fs::perms(0644));
}

void FakeDeviceTree::Link(const std::string& absolute, const std::string& target) {
  const fs::path path = At(absolute);
  Parent(path);
  fs::create_symlink(target, path);
}

void FakeDeviceTree::Folder(const std::string& absolute) {
  const fs::path path = At(absolute);
  Parent(path / "x");
}

}  // namespace qrticket::testing
