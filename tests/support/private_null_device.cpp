// A null device of the test's own (see temp_dir.h), on Linux: mknod needs no /dev/null of the
// machine, which another job may hold.
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include "temp_dir.h"

namespace qrticket::testing {

std::string PrivateNullDevice(const TempDir& dir) {
  const std::string node = dir.File("null");
  if (::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) return node;
  return "/dev/null";
}

std::string PrivateZeroDevice(const TempDir& dir) {
  const std::string node = dir.File("zero");
  if (::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 5)) == 0) return node;
  return "/dev/zero";
}

}  // namespace qrticket::testing
