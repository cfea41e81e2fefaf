#include "temp_dir.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace qrticket::testing {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "qrticket-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::string PrivateNullDevice(const TempDir& dir) {
  const std::string node = dir.File("null");
  if (::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) return node;
  return "/dev/null";
}

std::string ReadFileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Hex(std::string_view bytes) {
  std::string out;
  char buf[4];
  for (const char c : bytes) {
    std::snprintf(buf, sizeof buf, out.empty() ? "%02X" : " %02X", static_cast<unsigned char>(c));
    out += buf;
  }
  return out;
}

}  // namespace qrticket::testing
