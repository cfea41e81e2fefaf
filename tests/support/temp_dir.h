// A fresh folder per test, removed afterwards, and small helpers to read what landed in it.
#pragma once

#include <filesystem>
#include <string>

namespace qrticket::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// A device node that behaves as /dev/null (takes every byte, reads nothing) but is the test's
// own: jobs claim their device exclusively, so tests in parallel processes that all used
// /dev/null would find it "busy" now and then. Falls back to /dev/null where device nodes
// cannot be made (not root).
std::string PrivateNullDevice(const TempDir& dir);
// The same for a zero device (endless NUL bytes), /dev/zero where mknod is refused.
std::string PrivateZeroDevice(const TempDir& dir);

// The whole content of a file as bytes; empty when it does not exist.
std::string ReadFileBytes(const std::filesystem::path& file);

// Bytes as "1D 28 6B", so a failed comparison shows where the bytes differ.
std::string Hex(std::string_view bytes);

}  // namespace qrticket::testing
