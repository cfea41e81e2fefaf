// Where a new file would land, and whether that is the device folder.
#include "devices/posix/device_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <optional>

namespace qrticket {
namespace {

constexpr const char* kDeviceFolder = "/dev";
// The kernel follows at most this many links in one lookup.
constexpr int kMaxLinks = 40;

std::string ParentFolder(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The name open(O_CREAT) would create: the path, or the target at the end of a chain of
// dangling symbolic links (open follows them and creates the last target). nullopt when the
// path already exists or cannot be looked at.
std::optional<std::string> NameToCreate(std::string path) {
  for (int links = 0; links <= kMaxLinks; ++links) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
      if (errno == ENOENT) return path;
      return std::nullopt;
    }
    if (!S_ISLNK(st.st_mode)) return std::nullopt;
    if (::stat(path.c_str(), &st) == 0) return std::nullopt;  // the link leads somewhere
    std::string target(PATH_MAX, '\0');
    const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) return std::nullopt;
    target.resize(static_cast<std::size_t>(length));
    path = target.front() == '/' ? target : ParentFolder(path) + "/" + target;
  }
  return std::nullopt;
}

bool UnderDeviceFolder(const std::string& folder) {
  const std::unique_ptr<char, decltype(&std::free)> real(::realpath(folder.c_str(), nullptr),
                                                         &std::free);
  if (!real) return false;
  const std::string resolved = real.get();
  return resolved == kDeviceFolder || resolved.rfind(std::string(kDeviceFolder) + "/", 0) == 0;
}

}  // namespace

bool WouldCreateInDeviceFolder(const std::string& path) {
  const std::optional<std::string> name = NameToCreate(path);
  if (!name) return false;
  struct stat parent {}, devices {}, root {};
  if (::stat(ParentFolder(*name).c_str(), &parent) != 0) return false;
  if (::stat(kDeviceFolder, &devices) != 0 || ::stat("/", &root) != 0) return false;
  // The same file system as /dev: that is where devices live. When /dev is a mount of its own
  // (devtmpfs), sharing its device number says it all; when it is a plain folder of the root
  // file system (a bare chroot), the folder must also be /dev or below it.
  if (parent.st_dev != devices.st_dev) return false;
  return devices.st_dev != root.st_dev || UnderDeviceFolder(ParentFolder(*name));
}

}  // namespace qrticket
