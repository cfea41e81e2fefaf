// Device permissions as the operator meets them: Debian gives printer ports to the group "lp"
// and serial ports to "dialout", so a refusal is usually cured by joining one of them.
#include "devices/posix/device_access.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace qrticket {
namespace {

std::string GroupName(gid_t gid) {
  std::vector<char> buffer(1024);
  for (;;) {
    group entry{};
    group* found = nullptr;
    const int error = ::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found);
    if (error == ERANGE && buffer.size() < (1u << 20)) {
      buffer.resize(buffer.size() * 4);
      continue;
    }
    if (error != 0 || found == nullptr)
      return std::to_string(gid);  // no name: the number works for usermod too
    return found->gr_name;
  }
}

}  // namespace

DeviceAccess AccessOf(const std::filesystem::path& node) {
  DeviceAccess access;
  access.writable = ::faccessat(AT_FDCWD, node.c_str(), W_OK, AT_EACCESS) == 0;
  if (access.writable) return access;
  struct stat st {};
  // Group root grants nothing an operator should be told to join.
  if (::stat(node.c_str(), &st) == 0 && (st.st_mode & S_IWGRP) != 0 && st.st_gid != 0)
    access.group = GroupName(st.st_gid);
  return access;
}

}  // namespace qrticket
