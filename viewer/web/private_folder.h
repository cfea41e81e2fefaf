// A folder of the program's own under the system's temporary folder, removed with everything
// in it when the object goes: where the bench keeps receipts when no --out folder was given.
#pragma once

#include <filesystem>

namespace qrticket::viewer::web {

class PrivateFolder {
 public:
  // Throws ListenError when no folder could be made.
  PrivateFolder();
  ~PrivateFolder();
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace qrticket::viewer::web
